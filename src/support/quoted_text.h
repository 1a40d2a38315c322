// Texts and byte buffers written for people: the form korvex-host prints
// results in and the trace prints call arguments in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvex {

// In double quotes; bytes 0x20..0x7E as they are except " and \, every other
// byte as \r, \n, \t, \", \\ or \xHH (lowercase hex).
std::string quoted_text(std::string_view text);

// quoted_text of at most the first max_bytes bytes, followed by "..." when the
// text is longer: for quoting what a person typed in a one-line message.
std::string quoted_excerpt(std::string_view text, std::size_t max_bytes = 40);

// Lowercase hexadecimal, two digits a byte, no separators.
std::string hex_bytes(const void* bytes, std::size_t size);

}  // namespace korvex
