// What the storage property query's STORAGE_DEVICE_DESCRIPTOR tells of a
// disk, read within the bytes the system returned, and the serial, firmware
// and model texts made of it the way drivers fill it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace korvex {

// The descriptor's texts exactly as the driver wrote them, blanks included,
// and the bus the disk sits on; a text is empty when absent.
struct StorageDeviceTexts {
  std::string vendor;
  std::string product;
  std::string revision;
  std::string serial;
  std::optional<std::uint32_t> bus_type;  // none when the answer ends before it
};

// A text is absent when its offset is 0, when the offset or the field that
// holds it lies outside the answer, or when the text has no NUL inside it.
StorageDeviceTexts storage_device_texts(std::span<const std::uint8_t> answer);

// Without the control characters and spaces around it, as identify text
// reads a field.
std::string trimmed(std::string_view text);

// Some drivers, on XP and later, give an ATA disk's serial as hexadecimal
// digits: the 20 bytes of the identify sector's serial field, two digits a
// byte, each word's bytes swapped as the sector stores them. The decoded text
// when the serial has exactly that form, 40 digits, and every decoded byte is
// printable; genuine serials made of fewer hexadecimal digits stay as they are.
std::optional<std::string> decoded_hex_serial(std::string_view serial);

struct DiskTexts {
  std::string serial;
  std::string firmware;
  std::string model;
};

// The model is the product, preceded by the vendor unless the vendor is
// absent, "ATA" (the SCSI-to-ATA translation's name for every ATA disk) or
// "NVMe" (Windows' name for every NVMe disk). On the ATA and SATA buses the
// vendor field holds the first 8 characters of the ATA model text, so it is
// joined to the product directly, keeping at most one blank between; on
// every other bus they are separate names joined by a space. The firmware is
// the revision; the serial is decoded when it has the hexadecimal form.
DiskTexts disk_texts_of(const StorageDeviceTexts& texts);

}  // namespace korvex
