// The system's message text for an error code, as the host shows it.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/platform.h"

namespace korvex {

// The text in the 256-byte buffer the module asks the system with.
class SystemErrorText {
 public:
  static constexpr std::uint32_t kBufferSize = 256;

  std::string_view text() const { return {buffer_.data(), size_}; }

 private:
  friend SystemErrorText system_error_text(Platform& platform, std::uint32_t code);

  std::array<char, kBufferSize> buffer_{};
  std::size_t size_ = 0;
};

// The text without the line break and blanks the system ends it with; line
// breaks inside it stay. Empty when the system has no text for the code or
// the text does not fit the buffer.
SystemErrorText system_error_text(Platform& platform, std::uint32_t code);

// The text of the calling thread's last error code, read before anything
// else can change it: the code of the host's or the module's last failing
// system call.
SystemErrorText last_error_text(Platform& platform);

}  // namespace korvex
