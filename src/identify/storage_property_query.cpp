#include "identify/storage_property_query.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>

#include "identify/device_request.h"
#include "identify/identify_text.h"
#include "identify/nvme_identify.h"
#include "identify/storage_descriptor.h"
#include "platform/disk_control.h"

namespace korvex {
namespace {

// Room for the descriptor and its texts on every disk seen so far.
constexpr std::size_t kDescriptorAnswerSize = 1024;

// ATA's 28-bit sector count, which every larger disk reports as its cap.
constexpr std::uint64_t kMaxAtaSectors = 0x0FFFFFFF;

// The bytes an answer filled: the count comes from the system and is never
// trusted past the buffer.
std::span<const std::uint8_t> answered(std::span<const std::uint8_t> buffer,
                                       std::uint32_t returned) {
  return buffer.first(std::min<std::size_t>(returned, buffer.size()));
}

std::optional<StorageDeviceTexts> read_descriptor(Platform& platform,
                                                  const UniqueDeviceHandle& handle) {
  const STORAGE_PROPERTY_QUERY query{.PropertyId = win32::kStorageDeviceProperty,
                                     .QueryType = win32::kPropertyStandardQuery,
                                     .AdditionalParameters = {},
                                     .padding = {}};
  std::array<std::uint8_t, kDescriptorAnswerSize> answer{};
  std::uint32_t returned = 0;
  if (!platform.device_io_control(handle.get(), win32::kStorageQueryProperty, &query,
                                  sizeof query, answer.data(),
                                  static_cast<std::uint32_t>(answer.size()), &returned)) {
    return std::nullopt;
  }
  return storage_device_texts(answered(answer, returned));
}

// One NVMe identify request, answered into buffer; the identify data there
// when the answer holds at least needed bytes of them.
std::optional<std::span<const std::uint8_t>> read_nvme(Platform& platform,
                                                       const UniqueDeviceHandle& handle,
                                                       NvmeIdentify which, std::size_t needed,
                                                       NvmeIdentifyBuffer& buffer) {
  buffer = nvme_identify_request(which);
  std::uint32_t returned = 0;
  if (!platform.device_io_control(handle.get(), win32::kStorageQueryProperty, &buffer,
                                  sizeof buffer, &buffer, sizeof buffer, &returned)) {
    return std::nullopt;
  }
  return nvme_identify_data(
      answered(std::span(reinterpret_cast<const std::uint8_t*>(&buffer), sizeof buffer), returned),
      needed);
}

void put_texts(IdentifyRecord& record, const std::string& serial, const std::string& firmware,
               const std::string& model) {
  record.clear();
  record.put_text(kSerialNumberField, serial);
  record.put_text(kFirmwareRevisionField, firmware);
  record.put_text(kModelNumberField, model);
}

// An NVMe disk's descriptor serial is often not the disk's but an EUI-64 or
// NGUID text, so its own identify data are asked even when the descriptor
// gave a serial. True when they gave one.
bool read_nvme_identity(Platform& platform, const UniqueDeviceHandle& handle,
                        IdentifyRecord& record) {
  NvmeIdentifyBuffer buffer;
  const auto controller_data = read_nvme(platform, handle, NvmeIdentify::kController,
                                         kNvmeControllerTextsEnd, buffer);
  if (!controller_data) return false;
  const NvmeControllerTexts texts = nvme_controller_texts(*controller_data);
  if (texts.serial.empty()) return false;
  put_texts(record, texts.serial, texts.firmware, texts.model);
  if (const auto namespace_data = read_nvme(platform, handle, NvmeIdentify::kNamespace1,
                                            kNvmeNamespaceSizeEnd, buffer)) {
    record.put_double_word(
        kTotalAddressableSectorsWord,
        static_cast<std::uint32_t>(std::min(nvme_namespace_size(*namespace_data), kMaxAtaSectors)));
  }
  return true;
}

}  // namespace

std::string run_storage_property_query(Platform& platform, std::int32_t device_number,
                                       IdentifyRecord& record) {
  // Access 0 asks for no rights on the disk, which a user without
  // administrator rights may still open.
  const UniqueDeviceHandle handle =
      open_device(platform, {.name = physical_drive_name(device_number),
                             .access = 0,
                             .share = win32::kFileShareReadWrite,
                             .disposition = win32::kOpenExisting});
  if (!handle) return {};
  const std::optional<StorageDeviceTexts> descriptor = read_descriptor(platform, handle);
  if (descriptor) {
    const DiskTexts texts = disk_texts_of(*descriptor);
    put_texts(record, texts.serial, texts.firmware, texts.model);
  }
  // No version check: a host without a manifest is told 6.2 on Windows 10,
  // and systems before it refuse the request.
  // A descriptor too short to name the bus counts as not read.
  const bool may_be_nvme =
      !descriptor || descriptor->bus_type.value_or(win32::kBusTypeNvme) == win32::kBusTypeNvme;
  const bool nvme_answered = may_be_nvme && read_nvme_identity(platform, handle, record);
  if (!descriptor && !nvme_answered) return {};
  return identify_text(record.bytes_of(kSerialNumberField));
}

}  // namespace korvex
