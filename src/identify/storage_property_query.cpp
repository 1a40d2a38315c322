#include "identify/storage_property_query.h"

#include <algorithm>
#include <array>
#include <span>

#include "identify/device_request.h"
#include "identify/identify_text.h"
#include "identify/storage_descriptor.h"
#include "platform/disk_control.h"

namespace korvex {
namespace {

// Room for the descriptor and its texts on every disk seen so far.
constexpr std::size_t kAnswerSize = 1024;

}  // namespace

std::string run_storage_property_query(Platform& platform, std::int32_t device_number,
                                       bool serial_may_be_hex, IdentifyRecord& record) {
  const STORAGE_PROPERTY_QUERY query{.PropertyId = win32::kStorageDeviceProperty,
                                     .QueryType = win32::kPropertyStandardQuery,
                                     .AdditionalParameters = {},
                                     .padding = {}};
  std::array<std::uint8_t, kAnswerSize> answer{};
  std::uint32_t returned = 0;
  // Access 0 asks for no rights on the disk, which a user without
  // administrator rights may still open.
  if (!send_device_request(platform,
                           {physical_drive_name(device_number), 0, win32::kFileShareReadWrite,
                            win32::kOpenExisting},
                           win32::kStorageQueryProperty, &query, sizeof query, answer.data(),
                           static_cast<std::uint32_t>(answer.size()), &returned)) {
    return {};
  }
  // The count comes from the system; it is never trusted past the buffer.
  const DiskTexts texts = disk_texts_of(
      storage_device_texts(std::span(answer).first(std::min<std::size_t>(returned, answer.size()))),
      serial_may_be_hex);
  record.clear();
  record.put_text(kSerialNumberField, texts.serial);
  record.put_text(kFirmwareRevisionField, texts.firmware);
  record.put_text(kModelNumberField, texts.model);
  return identify_text(record.bytes_of(kSerialNumberField));
}

}  // namespace korvex
