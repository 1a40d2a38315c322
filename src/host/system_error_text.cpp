#include "host/system_error_text.h"

#include <algorithm>

namespace korvex {

SystemErrorText system_error_text(Platform& platform, std::uint32_t code) {
  SystemErrorText message;
  char* buffer = message.buffer_.data();
  constexpr std::uint32_t kSize = SystemErrorText::kBufferSize;
  // The count comes from the system; it is never trusted past the buffer.
  std::uint32_t count = std::min(platform.format_message(code, buffer, kSize), kSize);
  while (count > 0 && static_cast<unsigned char>(buffer[count - 1]) <= 0x20) --count;
  message.size_ = count;
  return message;
}

SystemErrorText last_error_text(Platform& platform) {
  const std::uint32_t code = platform.get_last_error();
  return system_error_text(platform, code);
}

}  // namespace korvex
