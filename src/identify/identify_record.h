// The module's copy of words 0 to 127 of a disk's identify sector, in the
// sector's own byte order: little-endian words, text fields not yet swapped.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace korvex {

// A field of the record, by IDENTIFY word numbers.
struct IdentifyField {
  std::uint8_t first_word;
  std::uint8_t words;
};

inline constexpr IdentifyField kSerialNumberField{10, 10};
inline constexpr IdentifyField kFirmwareRevisionField{23, 4};
inline constexpr IdentifyField kModelNumberField{27, 20};
inline constexpr std::size_t kTotalAddressableSectorsWord = 60;  // and 61

class IdentifyRecord {
 public:
  static constexpr std::size_t kSize = 256;

  void clear() { bytes_.fill(0); }
  // The first 256 bytes of a sector, replacing all of the record.
  void fill(std::span<const std::uint8_t, kSize> sector_start) {
    std::copy(sector_start.begin(), sector_start.end(), bytes_.begin());
  }
  // A text into a text field the way the sector stores it: cut to the field
  // or padded with spaces, the two characters of each word swapped.
  void put_text(IdentifyField field, std::string_view text) {
    const auto bytes = std::span(bytes_).subspan(2 * field.first_word, 2 * field.words);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const std::size_t other_in_word = i ^ 1;
      bytes[i] = other_in_word < text.size() ? static_cast<std::uint8_t>(text[other_in_word]) : ' ';
    }
  }

  // Two words, the lower-numbered one taking the low half.
  void put_double_word(std::size_t number, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) bytes_[2 * number + i] = static_cast<std::uint8_t>(value >> 8 * i);
  }

  // Words are numbered as IDENTIFY DEVICE numbers them.
  std::uint16_t word(std::size_t number) const {
    return static_cast<std::uint16_t>(bytes_[2 * number] | bytes_[2 * number + 1] << 8);
  }
  // Two words, the lower-numbered one holding the low half.
  std::uint32_t double_word(std::size_t number) const {
    return word(number) | static_cast<std::uint32_t>(word(number + 1)) << 16;
  }
  std::span<const std::uint8_t> bytes_of(IdentifyField field) const {
    return std::span(bytes_).subspan(2 * field.first_word, 2 * field.words);
  }
  const std::array<std::uint8_t, kSize>& bytes() const { return bytes_; }

 private:
  std::array<std::uint8_t, kSize> bytes_{};
};

}  // namespace korvex
