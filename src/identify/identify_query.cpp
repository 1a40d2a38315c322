#include "identify/identify_query.h"

#include <span>

#include "identify/device_handle.h"
#include "identify/identify_request.h"
#include "identify/identify_text.h"
#include "support/decimal_text.h"

namespace korvex {
namespace {

// One request on one device: what to open, what to send and where the
// identify sector comes back in the work buffer.
struct DeviceRequest {
  std::string device_name;
  std::uint32_t access;
  std::uint32_t share;
  std::uint32_t disposition;
  std::uint32_t control_code;
  WorkBuffer buffer;
  std::size_t sent;
  std::size_t answer_at;
  std::size_t answer_size;
  std::size_t sector_at;
};

// The SMART driver serves every disk through one device; the drive number
// in the request picks the disk.
DeviceRequest smart_device_request(std::uint8_t drive_number) {
  return {"\\\\.\\SMARTVSD", 0, 0, win32::kCreateNew, win32::kSmartReceiveDriveData,
          smart_request(drive_number), kSmartSent, kSmartAnswerAt, sizeof(SENDCMDOUTPARAMS),
          kSmartSectorAt};
}

DeviceRequest miniport_device_request(std::int32_t device_number, std::uint8_t drive_number,
                                      bool port_flag) {
  const std::string number = integer_to_text(device_number);
  return {port_flag ? "\\\\.\\Scsi" + number + ":" : "\\\\.\\PhysicalDrive" + number,
          win32::kGenericReadWrite, win32::kFileShareReadWrite, win32::kOpenExisting,
          win32::kScsiMiniport, miniport_request(drive_number), kWorkBufferSize, 0,
          kWorkBufferSize, kMiniportSectorAt};
}

}  // namespace

std::string IdentifyQuery::run(std::int32_t device_number, std::uint8_t drive_number,
                               bool port_flag, IdentifyRecord& record) {
  DeviceRequest request = takes_smart_path(system_class_.get())
                              ? smart_device_request(drive_number)
                              : miniport_device_request(device_number, drive_number, port_flag);
  {
    const UniqueDeviceHandle device(
        platform_, platform_.create_file(request.device_name.c_str(), request.access,
                                         request.share, request.disposition));
    if (!device) return {};
    std::uint32_t returned = 0;
    // Success is all the query looks at: neither the returned count nor
    // the driver's status decides, and the work buffer started out zeroed.
    if (!platform_.device_io_control(device.get(), request.control_code, request.buffer.data(),
                                     static_cast<std::uint32_t>(request.sent),
                                     request.buffer.data() + request.answer_at,
                                     static_cast<std::uint32_t>(request.answer_size), &returned)) {
      return {};
    }
  }
  const auto sector = std::span(request.buffer).subspan(request.sector_at);
  record.fill(sector.first<IdentifyRecord::kSize>());
  return identify_text(record.bytes_of(kSerialNumberField));
}

}  // namespace korvex
