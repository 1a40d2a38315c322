#include "identify/identify_text.h"

namespace korvex {

std::string identify_text(std::span<const std::uint8_t> field) {
  std::string text(field.size(), '\0');
  for (std::size_t i = 0; i + 1 < field.size(); i += 2) {
    text[i] = static_cast<char>(field[i + 1]);
    text[i + 1] = static_cast<char>(field[i]);
  }
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };

  std::size_t end = text.size();
  while (end > 0 && byte(end - 1) <= 0x20) --end;
  // A leading NUL is not skipped: it ends the text before it starts.
  std::size_t start = 0;
  while (start < end && byte(start) != 0 && byte(start) <= 0x20) ++start;
  std::size_t stop = start;
  while (stop < end && byte(stop) != 0) ++stop;
  return text.substr(start, stop - start);
}

}  // namespace korvex
