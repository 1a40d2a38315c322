// What the storage property query's STORAGE_DEVICE_DESCRIPTOR tells of a
// disk, read within the bytes the system returned, and the serial, firmware
// and model texts made of it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace korvex {

// The descriptor's texts without the blanks around them; empty when absent.
struct StorageDeviceTexts {
  std::string vendor;
  std::string product;
  std::string revision;
  std::string serial;
};

// A text is absent when its offset is 0, when the offset or the field that
// holds it lies outside the answer, or when the text has no NUL inside it.
StorageDeviceTexts storage_device_texts(std::span<const std::uint8_t> answer);

// XP and Server 2003 give an ATA disk's serial as hexadecimal digits, two a
// byte, each word's bytes swapped as the identify sector stores them. The
// decoded text when the serial has that form: nothing but hexadecimal digits,
// a multiple of 4 of them, and printable once decoded.
std::optional<std::string> decoded_hex_serial(std::string_view serial);

struct DiskTexts {
  std::string serial;
  std::string firmware;
  std::string model;
};

// The model is the product, preceded by the vendor and a space unless the
// vendor is absent or "ATA" (the SCSI-to-ATA translation's name for every
// ATA disk); the firmware is the revision. The serial is decoded when it may
// come in hexadecimal (NT 5.x) and has that form.
DiskTexts disk_texts_of(const StorageDeviceTexts& texts, bool serial_may_be_hex);

}  // namespace korvex
