#include "identify/identify_text.h"

namespace korvex {

void append_identify_text(std::span<const std::uint8_t> field, std::string& out) {
  // The field read with each word's bytes swapped; the field stays as it is.
  const auto byte = [&](std::size_t i) { return field[i ^ 1]; };

  std::size_t end = field.size() & ~std::size_t{1};
  while (end > 0 && byte(end - 1) <= 0x20) --end;
  // A leading NUL is not skipped: it ends the text before it starts.
  std::size_t start = 0;
  while (start < end && byte(start) != 0 && byte(start) <= 0x20) ++start;
  for (std::size_t i = start; i < end && byte(i) != 0; ++i) out += static_cast<char>(byte(i));
}

std::string identify_text(std::span<const std::uint8_t> field) {
  std::string text;
  append_identify_text(field, text);
  return text;
}

}  // namespace korvex
