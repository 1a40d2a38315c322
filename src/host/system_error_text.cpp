#include "host/system_error_text.h"

#include <algorithm>
#include <array>

namespace korvex {

std::string system_error_text(Platform& platform, std::uint32_t code) {
  std::array<char, 256> buffer{};
  const auto size = static_cast<std::uint32_t>(buffer.size());
  // The count comes from the system; it is never trusted past the buffer.
  std::uint32_t count = std::min(platform.format_message(code, buffer.data(), size), size);
  while (count > 0 && static_cast<unsigned char>(buffer[count - 1]) <= 0x20) --count;
  return std::string(buffer.data(), count);
}

std::string last_error_text(Platform& platform) {
  const std::uint32_t code = platform.get_last_error();
  return system_error_text(platform, code);
}

}  // namespace korvex
