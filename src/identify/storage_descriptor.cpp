#include "identify/storage_descriptor.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "platform/disk_control.h"

namespace korvex {
namespace {

bool blank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::optional<std::uint32_t> u32_at(std::span<const std::uint8_t> answer, std::size_t at) {
  std::uint32_t value = 0;
  if (at + sizeof value > answer.size()) return std::nullopt;
  std::memcpy(&value, answer.data() + at, sizeof value);
  return value;
}

// The text whose offset the descriptor holds at offset_field.
std::string text_at(std::span<const std::uint8_t> answer, std::size_t offset_field) {
  const std::optional<std::uint32_t> offset = u32_at(answer, offset_field);
  if (!offset || *offset == 0 || *offset >= answer.size()) return {};
  const auto text = answer.subspan(*offset);
  const auto end = std::find(text.begin(), text.end(), std::uint8_t{0});
  if (end == text.end()) return {};
  return std::string(reinterpret_cast<const char*>(text.data()),
                     static_cast<std::size_t>(end - text.begin()));
}

int hex_digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The names Windows' translation layers put in the vendor field of every disk
// of their kind, which tell nothing of the disk.
bool generic_vendor(std::string_view vendor) { return vendor == "ATA" || vendor == "NVMe"; }

// The start of the ATA model text as the vendor field holds it: leading
// blanks dropped, at most one trailing blank kept, as it stood between two
// words of the model.
std::string model_start(std::string_view vendor) {
  std::string words = trimmed(vendor);
  if (blank(vendor.back())) words += ' ';
  return words;
}

}  // namespace

std::string trimmed(std::string_view text) {
  const auto first = std::find_if_not(text.begin(), text.end(), blank);
  const auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
  return first < last ? std::string(first, last) : std::string();
}

StorageDeviceTexts storage_device_texts(std::span<const std::uint8_t> answer) {
  return {.vendor = text_at(answer, offsetof(STORAGE_DEVICE_DESCRIPTOR, VendorIdOffset)),
          .product = text_at(answer, offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset)),
          .revision = text_at(answer, offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductRevisionOffset)),
          .serial = text_at(answer, offsetof(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset)),
          .bus_type = u32_at(answer, offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType))};
}

std::optional<std::string> decoded_hex_serial(std::string_view serial) {
  constexpr std::size_t kSerialFieldBytes = 20;
  if (serial.size() != 2 * kSerialFieldBytes) return std::nullopt;
  std::string decoded(kSerialFieldBytes, '\0');
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

DiskTexts disk_texts_of(const StorageDeviceTexts& texts) {
  const std::string vendor = trimmed(texts.vendor);
  const std::string product = trimmed(texts.product);
  std::string model = product;
  if (!vendor.empty() && !generic_vendor(vendor)) {
    const bool ata_bus = texts.bus_type == win32::kBusTypeAta || texts.bus_type == win32::kBusTypeSata;
    model = ata_bus ? model_start(texts.vendor) + product : vendor + " " + product;
  }
  const std::string serial = trimmed(texts.serial);
  const std::optional<std::string> decoded = decoded_hex_serial(serial);
  return {.serial = decoded ? trimmed(*decoded) : serial,
          .firmware = trimmed(texts.revision),
          .model = std::move(model)};
}

}  // namespace korvex
