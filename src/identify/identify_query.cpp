#include "identify/identify_query.h"

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
  return {std::move(name), win32::kGenericReadWrite, win32::kFileShareReadWrite,
          win32::kOpenExisting};
}

// The SMART driver serves every disk through one device; the drive number
// in the request picks the disk.
DeviceRequest smart_device_request(std::uint8_t drive_number) {
  return {{"\\\\.\\SMARTVSD", 0, 0, win32::kCreateNew}, win32::kSmartReceiveDriveData,
          smart_request(drive_number), kSmartSent, kSmartAnswerAt, sizeof(SENDCMDOUTPARAMS),
          kSmartSectorAt};
}

DeviceRequest miniport_device_request(std::int32_t device_number, std::uint8_t drive_number,
                                      bool port_flag) {
  return {read_write_opening(port_flag ? "\\\\.\\Scsi" + integer_to_text(device_number) + ":"
                                       : physical_drive_name(device_number)),
          win32::kScsiMiniport, miniport_request(drive_number), kWorkBufferSize, 0,
          kWorkBufferSize, kMiniportSectorAt};
}

// The record takes the sector's first 256 bytes, the serial text comes from them.
std::string keep_sector(std::span<const std::uint8_t> sector, IdentifyRecord& record) {
  record.fill(sector.first<IdentifyRecord::kSize>());
  return identify_text(record.bytes_of(kSerialNumberField));
}

}  // namespace

std::string IdentifyQuery::run(std::int32_t device_number, std::uint8_t drive_number,
                               bool port_flag, IdentifyRecord& record) {
  DeviceRequest request = takes_smart_path(system_class_.get())
                              ? smart_device_request(drive_number)
                              : miniport_device_request(device_number, drive_number, port_flag);
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
  // As on the SMART and miniport paths success alone decides: the task file the disk
  // hands back is not examined, and a refused command leaves the data zero.
  if (!send_device_request(platform_, read_write_opening(physical_drive_name(device_number)),
                           win32::kAtaPassThrough, &buffer, sizeof buffer, &buffer, sizeof buffer,
                           &returned)) {
    return {};
  }
  return keep_sector(buffer.sector, record);
}

}  // namespace korvex
