// A text the host hands in through a pointer: its characters up to the first
// NUL, copied, so the host's buffer is free again when the export returns.
#pragma once

#include <string>

namespace korvex {

inline std::string host_text(const char* text) {
  return text == nullptr ? std::string() : std::string(text);
}

}  // namespace korvex
