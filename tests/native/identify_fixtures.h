// Identify sectors and request bytes written the way people read them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "identify/identify_record.h"
#include "platform/platform_wrapper.h"
#include "platform/sim/simulated_machine.h"

namespace korvex::tests {

// Hex digits in pairs, blanks between them ignored, then zeros up to size.
inline std::vector<std::uint8_t> bytes_from_hex(std::string_view hex, std::size_t size) {
  std::vector<std::uint8_t> bytes;
  std::string digits;
  for (const char c : hex) {
    if (c == ' ') continue;
    digits += c;
    if (digits.size() == 2) {
      bytes.push_back(static_cast<std::uint8_t>(std::stoul(digits, nullptr, 16)));
      digits.clear();
    }
  }
  bytes.resize(size);
  return bytes;
}

// A text field as a disk stores it: the first character of each pair in the
// word's high byte.
inline std::vector<std::uint8_t> stored_text(std::string_view readable) {
  std::vector<std::uint8_t> field(readable.begin(), readable.end());
  for (std::size_t i = 0; i + 1 < field.size(); i += 2) std::swap(field[i], field[i + 1]);
  return field;
}

inline void put_word(IdentifySector& sector, std::size_t number, std::uint16_t value) {
  sector[2 * number] = static_cast<std::uint8_t>(value);
  sector[2 * number + 1] = static_cast<std::uint8_t>(value >> 8);
}

// The text padded with blanks to the field's length.
inline void put_text(IdentifySector& sector, IdentifyField field, std::string_view text) {
  std::string padded(text);
  padded.resize(2 * field.words, ' ');
  const std::vector<std::uint8_t> stored = stored_text(padded);
  std::copy(stored.begin(), stored.end(), sector.begin() + 2 * field.first_word);
}

inline IdentifySector sector_with_serial(std::string_view serial) {
  IdentifySector sector{};
  put_text(sector, kSerialNumberField, serial);
  return sector;
}

// A record filled from a storage descriptor's texts: those three fields
// padded with blanks, everything else zero.
inline IdentifySector described(std::string_view serial, std::string_view firmware,
                                std::string_view model) {
  IdentifySector sector{};
  put_text(sector, kSerialNumberField, serial);
  put_text(sector, kFirmwareRevisionField, firmware);
  put_text(sector, kModelNumberField, model);
  return sector;
}

inline SimulatedDevice answering(const IdentifySector& sector) { return {.sector = sector}; }
inline SimulatedDevice failing_to_open(std::uint32_t code) { return {.open_error = code}; }
inline SimulatedDevice refusing(std::uint32_t code) { return {.ioctl_error = code}; }
inline SimulatedDevice answering_ata(const IdentifySector& sector) {
  return {.ata_pass_through = sector};
}
inline SimulatedDevice describing(const SimulatedStorageDescriptor& descriptor) {
  return {.storage_descriptor = descriptor};
}

// Forwards every call to the machine, then lets a test rewrite what a
// successful control request handed back: a driver that claims success for a
// short transfer, or an answer whose offsets point outside it.
class RewritingAnswers final : public PlatformWrapper {
 public:
  using Rewrite =
      std::function<void(std::uint32_t code, std::uint8_t* output, std::uint32_t* returned)>;
  RewritingAnswers(Platform& target, Rewrite rewrite)
      : PlatformWrapper(target), rewrite_(std::move(rewrite)) {}

  bool device_io_control(DeviceHandle device, std::uint32_t code, const void* input,
                         std::uint32_t input_size, void* output, std::uint32_t output_size,
                         std::uint32_t* returned) override {
    if (!PlatformWrapper::device_io_control(device, code, input, input_size, output, output_size,
                                            returned)) {
      return false;
    }
    rewrite_(code, static_cast<std::uint8_t*>(output), returned);
    return true;
  }

 private:
  Rewrite rewrite_;
};

inline constexpr std::uint32_t kNt40 = 0x05650004;
inline constexpr std::uint32_t kNt50 = 0x08930005;
inline constexpr std::uint32_t kNt51 = 0x0A280105;
inline constexpr std::uint32_t kNt52 = 0x0ECE0205;
inline constexpr std::uint32_t kNt60 = 0x17720006;
inline constexpr std::uint32_t kNt61 = 0x1DB10106;    // the NT family: the miniport path
inline constexpr std::uint32_t kNt100 = 0x0000000A;
inline constexpr std::uint32_t kWin98 = 0xC0000A04;  // the 9x family: the SMART path

}  // namespace korvex::tests
