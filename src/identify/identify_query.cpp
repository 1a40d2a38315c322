#include "identify/identify_query.h"

#include <algorithm>
#include <span>

#include "identify/device_request.h"
#include "identify/identify_request.h"
#include "identify/identify_text.h"
#include "support/decimal_text.h"

namespace korvex {
namespace {

// One request on one device: what to open, what to send and where the
// identify sector comes back in the work buffer.
struct DeviceRequest {
  DeviceOpening device;
  std::uint32_t control_code;
  WorkBuffer buffer;
  std::size_t sent;
  std::size_t answer_at;
  std::size_t answer_size;
  std::size_t sector_at;
};

DeviceOpening read_write_opening(std::string name) {
  return {.name = std::move(name),
          .access = win32::kGenericReadWrite,
          .share = win32::kFileShareReadWrite,
          .disposition = win32::kOpenExisting};
}

// The SMART driver serves every disk through one device; the drive number
// in the request picks the disk.
DeviceRequest smart_device_request(std::uint8_t drive_number) {
  return {.device = {.name = "\\\\.\\SMARTVSD",
                     .access = 0,
                     .share = 0,
                     .disposition = win32::kCreateNew},
          .control_code = win32::kSmartReceiveDriveData,
          .buffer = smart_request(drive_number),
          .sent = kSmartSent,
          .answer_at = kSmartAnswerAt,
          .answer_size = sizeof(SENDCMDOUTPARAMS),
          .sector_at = kSmartSectorAt};
}

DeviceRequest miniport_device_request(std::int32_t device_number, std::uint8_t drive_number,
                                      DeviceName name) {
  return {.device = read_write_opening(name == DeviceName::kScsiPort
                                           ? "\\\\.\\Scsi" + integer_to_text(device_number) + ":"
                                           : physical_drive_name(device_number)),
          .control_code = win32::kScsiMiniport,
          .buffer = miniport_request(drive_number),
          .sent = kWorkBufferSize,
          .answer_at = 0,
          .answer_size = kWorkBufferSize,
          .sector_at = kMiniportSectorAt};
}

// The record takes the sector's first 256 bytes, the serial text comes from them.
std::string keep_sector(std::span<const std::uint8_t> sector, IdentifyRecord& record) {
  record.fill(sector.first<IdentifyRecord::kSize>());
  return identify_text(record.bytes_of(kSerialNumberField));
}

// A pass-through that reports success may still have moved nothing: the
// buffer went out zeroed.
bool all_zero(std::span<const std::uint8_t> sector) {
  return std::all_of(sector.begin(), sector.end(), [](std::uint8_t b) { return b == 0; });
}

// The SCSI pass-through's answer to one command block, when it counts.
bool scsi_identify_answered(Platform& platform, const UniqueDeviceHandle& handle,
                            const ScsiCommandBlock& block, std::uint8_t block_length,
                            ScsiIdentifyBuffer& buffer) {
  prepare_scsi_identify(buffer, block, block_length);
  std::uint32_t returned = 0;
  return platform.device_io_control(handle.get(), win32::kScsiPassThrough, &buffer, sizeof buffer,
                                    &buffer, sizeof buffer, &returned) &&
         buffer.header.ScsiStatus == 0 &&
         buffer.header.DataTransferLength == sizeof buffer.sector && !all_zero(buffer.sector);
}

}  // namespace

std::string IdentifyQuery::run(std::int32_t device_number, std::uint8_t drive_number,
                               DeviceName name, IdentifyRecord& record) {
  DeviceRequest request = takes_smart_path(system_class_.get())
                              ? smart_device_request(drive_number)
                              : miniport_device_request(device_number, drive_number, name);
  std::uint32_t returned = 0;
  // Success is all the query looks at: neither the returned count nor the
  // driver's status decides, and the work buffer started out zeroed.
  if (!send_device_request(platform_, request.device, request.control_code, request.buffer.data(),
                           static_cast<std::uint32_t>(request.sent),
                           request.buffer.data() + request.answer_at,
                           static_cast<std::uint32_t>(request.answer_size), &returned)) {
    return {};
  }
  return keep_sector(std::span(request.buffer).subspan(request.sector_at), record);
}

std::string IdentifyQuery::run_ata_pass_through(std::int32_t device_number,
                                                IdentifyRecord& record) {
  AtaIdentifyBuffer buffer;
  prepare_ata_identify(buffer);
  std::uint32_t returned = 0;
  if (!send_device_request(platform_, read_write_opening(physical_drive_name(device_number)),
                           win32::kAtaPassThrough, &buffer, sizeof buffer, &buffer, sizeof buffer,
                           &returned) ||
      returned < sizeof buffer || (buffer.header.CurrentTaskFile.bCommandReg & kAtaStatusError) ||
      all_zero(buffer.sector)) {
    return {};
  }
  return keep_sector(buffer.sector, record);
}

std::string IdentifyQuery::run_scsi_ata_translation(std::int32_t device_number,
                                                    IdentifyRecord& record) {
  const UniqueDeviceHandle handle =
      open_device(platform_, read_write_opening(physical_drive_name(device_number)));
  if (!handle) return {};
  ScsiIdentifyBuffer buffer;
  if (!scsi_identify_answered(platform_, handle, kAtaPassThrough16Identify,
                              kAtaPassThrough16Length, buffer) &&
      !scsi_identify_answered(platform_, handle, kAtaPassThrough12Identify,
                              kAtaPassThrough12Length, buffer)) {
    return {};
  }
  return keep_sector(buffer.sector, record);
}

}  // namespace korvex
