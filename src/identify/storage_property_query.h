// The storage property query: the disk's identity as the storage driver
// describes it, which NT offers from 5.0 on without administrator rights and
// for disks on any bus (ATA, SATA, NVMe, USB, RAID), where the identify query
// finds none; and on an NVMe disk, through the same query, the disk's own
// identify data.
#pragma once

#include <cstdint>
#include <string>

#include "identify/identify_record.h"
#include "platform/platform.h"

namespace korvex {

// Asks \\.\PhysicalDriveN, opened with no access rights, for its
// STORAGE_DEVICE_DESCRIPTOR. An answer replaces the record with a fresh one
// holding only the serial, firmware and model texts, every other field zero,
// so that the getters read them as from a sector. When the descriptor names
// the NVMe bus or could not be read, the same handle is asked for the NVMe
// identify controller data (Windows 10 and later; refused before): a serial
// there replaces the descriptor's texts by the controller's, and namespace
// 1's size becomes the total addressable sectors. Returns the serial as the
// record's identify text gives it, empty when no answer held one.
std::string run_storage_property_query(Platform& platform, std::int32_t device_number,
                                       IdentifyRecord& record);

}  // namespace korvex
