// The storage property query: the disk's identity as the storage driver
// describes it, which NT offers from 5.0 on without administrator rights and
// for disks on any bus (ATA, SATA, NVMe, USB, RAID), where the identify query
// finds none.
#pragma once

#include <cstdint>
#include <string>

#include "identify/identify_record.h"
#include "platform/platform.h"

namespace korvex {

// Asks \\.\PhysicalDriveN for its STORAGE_DEVICE_DESCRIPTOR. An answer
// replaces the record with a fresh one holding only the serial, firmware and
// model texts, every other field zero, so that the getters read them as from
// a sector. Returns the serial as the record's identify text gives it, empty
// when the device could not be asked or has none. serial_may_be_hex: the
// system is NT 5.x, which may give the serial in hexadecimal.
std::string run_storage_property_query(Platform& platform, std::int32_t device_number,
                                       bool serial_may_be_hex, IdentifyRecord& record);

}  // namespace korvex
