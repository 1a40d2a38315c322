// The system's message text for an error code, as the host shows it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace korvex {

// The text without the line break and blanks the system ends it with; line
// breaks inside it stay. Empty when the system has no text for the code or
// the text does not fit the 256-byte buffer the module asks with.
std::string system_error_text(Platform& platform, std::uint32_t code);

// The text of the calling thread's last error code, read before anything
// else can change it: the code of the host's or the module's last failing
// system call.
std::string last_error_text(Platform& platform);

}  // namespace korvex
