// The identify query: IDENTIFY DEVICE sent to a physical disk through the
// disk-control interface of the running system, the answer kept in the
// identify record.
#pragma once

#include <cstdint>
#include <string>

#include "identify/identify_record.h"
#include "identify/system_class.h"
#include "platform/platform.h"

namespace korvex {

// Which name of the disk the miniport request goes to (the port flag).
enum class DeviceName {
  kScsiPort,       // \\.\ScsiN:
  kPhysicalDrive,  // \\.\PhysicalDriveN
};

class IdentifyQuery {
 public:
  IdentifyQuery(Platform& platform, SystemClass& system_class)
      : platform_(platform), system_class_(system_class) {}

  // On the NT family the device number and name pick the device; the 9x
  // family always asks the SMART driver. Returns the disk's serial text,
  // empty when the disk could not be asked or gave none; only an answer
  // replaces the record. The system's last-error value is what the system
  // calls left.
  std::string run(std::int32_t device_number, std::uint8_t drive_number, DeviceName name,
                  IdentifyRecord& record);

  // The same command through the ATA pass-through of \\.\PhysicalDriveN,
  // which NT offers from 5.2 on and which SATA disks answer where they refuse
  // the miniport request. Unlike the two designed paths it believes only an
  // answer that holds the whole sector, with the disk's error bit clear and
  // not all zero. Returns and records as run() does.
  std::string run_ata_pass_through(std::int32_t device_number, IdentifyRecord& record);

  // The same command wrapped in the SCSI ATA PASS-THROUGH command, 16-byte
  // form first, then the 12-byte one, through the SCSI pass-through of
  // \\.\PhysicalDriveN: what USB bridges and AHCI drivers that refuse the ATA
  // pass-through answer. An answer counts with SCSI status GOOD, 512 bytes
  // moved and not all zero. Returns and records as run() does.
  std::string run_scsi_ata_translation(std::int32_t device_number, IdentifyRecord& record);

 private:
  Platform& platform_;
  SystemClass& system_class_;
};

}  // namespace korvex
