// How a text field of the identify sector (serial number, firmware revision,
// model number) becomes text.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace korvex {

// The field holds two characters a word, the first in the word's high byte.
// The text is the field with each word's bytes swapped, without the blanks,
// control characters and NULs that pad its end or its start, cut at a NUL
// inside. The field's length is even. The append form adds the text to out
// and allocates nothing when out has the room.
void append_identify_text(std::span<const std::uint8_t> field, std::string& out);
std::string identify_text(std::span<const std::uint8_t> field);

}  // namespace korvex
