// The two size settings the host changes with SetAlign, and the size
// formatter that turns a byte count into a text such as "74.53 GB" under them.
#pragma once

#include <cstdint>
#include <string>

namespace korvex {

struct SizeSettings {
  static constexpr std::int8_t kAutomaticMode = -1;

  // -1 automatic (the unit follows the size), 0 bytes, 1 KB, 2 MB, 3 GB.
  std::int8_t size_format_mode = kAutomaticMode;
  // The most digits kept after the point; trailing zeros are never shown.
  std::int8_t decimal_places = 1;

  // Stores both values only when both are in range; false, changing
  // nothing, when either is out of range.
  bool set(std::int32_t mode, std::int32_t places);
};

// The byte count as text in the settings' unit, such as "74.53 GB". The
// append form adds it to out and allocates nothing when out has the room.
void append_size_text(std::int64_t bytes, const SizeSettings& settings, std::string& out);
std::string format_size(std::int64_t bytes, const SizeSettings& settings);

}  // namespace korvex
