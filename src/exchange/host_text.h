// A text the host hands in through a pointer: its characters up to the first
// NUL. The cell that keeps it copies them, so the host's buffer is free again
// when the export returns.
#pragma once

#include <string_view>

namespace korvex {

inline std::string_view host_text(const char* text) {
  return text == nullptr ? std::string_view() : std::string_view(text);
}

}  // namespace korvex
