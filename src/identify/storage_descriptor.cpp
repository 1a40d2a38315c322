#include "identify/storage_descriptor.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/disk_control.h"

namespace korvex {
namespace {

// Without the control characters and spaces around it, as identify text
// reads a field.
std::string trimmed(std::string_view text) {
  const auto blank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
  const auto first = std::find_if_not(text.begin(), text.end(), blank);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
  return first < last ? std::string(first, last) : std::string();
}

// The text whose offset the descriptor holds at offset_field.
std::string text_at(std::span<const std::uint8_t> answer, std::size_t offset_field) {
  std::uint32_t offset = 0;
  if (offset_field + sizeof offset > answer.size()) return {};
  std::memcpy(&offset, answer.data() + offset_field, sizeof offset);
  if (offset == 0 || offset >= answer.size()) return {};
  const auto text = answer.subspan(offset);
  const auto end = std::find(text.begin(), text.end(), std::uint8_t{0});
  if (end == text.end()) return {};
  return trimmed(std::string_view(reinterpret_cast<const char*>(text.data()),
                                  static_cast<std::size_t>(end - text.begin())));
}

int hex_digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

StorageDeviceTexts storage_device_texts(std::span<const std::uint8_t> answer) {
  return {text_at(answer, offsetof(STORAGE_DEVICE_DESCRIPTOR, VendorIdOffset)),
          text_at(answer, offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset)),
          text_at(answer, offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductRevisionOffset)),
          text_at(answer, offsetof(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset))};
}

std::optional<std::string> decoded_hex_serial(std::string_view serial) {
  if (serial.empty() || serial.size() % 4 != 0) return std::nullopt;
  std::string decoded(serial.size() / 2, '\0');
  for (std::size_t i = 0; i < decoded.size(); ++i) {
    const int high = hex_digit_value(serial[2 * i]);
    const int low = hex_digit_value(serial[2 * i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    const int byte = high << 4 | low;
    if (byte < 0x20 || byte > 0x7E) return std::nullopt;
    decoded[i ^ 1] = static_cast<char>(byte);
  }
  return decoded;
}

DiskTexts disk_texts_of(const StorageDeviceTexts& texts, bool serial_may_be_hex) {
  const bool vendor_named = !texts.vendor.empty() && texts.vendor != "ATA";
  const std::optional<std::string> decoded =
      serial_may_be_hex ? decoded_hex_serial(texts.serial) : std::nullopt;
  return {decoded ? trimmed(*decoded) : texts.serial, texts.revision,
          vendor_named ? texts.vendor + " " + texts.product : texts.product};
}

}  // namespace korvex
