#include "identify/nvme_identify.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "identify/storage_descriptor.h"

namespace korvex {
namespace {

// A text field up to its first NUL, without the blanks around it.
std::string field_text(std::span<const std::uint8_t> data, std::size_t first, std::size_t size) {
  const auto field = data.subspan(first, size);
  const auto end = std::find(field.begin(), field.end(), std::uint8_t{0});
  return trimmed(std::string_view(reinterpret_cast<const char*>(field.data()),
                                  static_cast<std::size_t>(end - field.begin())));
}

}  // namespace

NvmeIdentifyBuffer nvme_identify_request(NvmeIdentify which) {
  const bool controller = which == NvmeIdentify::kController;
  return {.PropertyId = controller ? win32::kStorageAdapterProtocolSpecificProperty
                                   : win32::kStorageDeviceProtocolSpecificProperty,
          .QueryType = win32::kPropertyStandardQuery,
          .ProtocolSpecific = {.ProtocolType = win32::kProtocolTypeNvme,
                               .DataType = win32::kNvmeDataTypeIdentify,
                               .ProtocolDataRequestValue = controller ? 1u : 0u,
                               .ProtocolDataRequestSubValue = controller ? 0u : 1u,
                               .ProtocolDataOffset = sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA),
                               .ProtocolDataLength = kNvmeIdentifySize,
                               .FixedProtocolReturnData = 0,
                               .ProtocolDataRequestSubValue2 = 0,
                               .ProtocolDataRequestSubValue3 = 0,
                               .ProtocolDataRequestSubValue4 = 0},
          .data = {}};
}

std::optional<std::span<const std::uint8_t>> nvme_identify_data(
    std::span<const std::uint8_t> answer, std::size_t needed) {
  STORAGE_PROTOCOL_DATA_DESCRIPTOR descriptor{};
  if (answer.size() < sizeof descriptor) return std::nullopt;
  std::memcpy(&descriptor, answer.data(), sizeof descriptor);
  const STORAGE_PROTOCOL_SPECIFIC_DATA& data = descriptor.ProtocolSpecificData;
  // The offset counts from the protocol data's own start; 64 bits, so that
  // no offset and length the system returns can wrap around.
  const std::uint64_t first =
      std::uint64_t{offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, ProtocolSpecificData)} +
      data.ProtocolDataOffset;
  if (first < sizeof descriptor || data.ProtocolDataLength < needed ||
      first + data.ProtocolDataLength > answer.size()) {
    return std::nullopt;
  }
  return answer.subspan(static_cast<std::size_t>(first), data.ProtocolDataLength);
}

NvmeControllerTexts nvme_controller_texts(std::span<const std::uint8_t> data) {
  return {.serial = field_text(data, 4, 20),
          .model = field_text(data, 24, 40),
          .firmware = field_text(data, 64, 8)};
}

std::uint64_t nvme_namespace_size(std::span<const std::uint8_t> data) {
  std::uint64_t size = 0;
  for (std::size_t i = kNvmeNamespaceSizeEnd; i-- > 0;) size = size << 8 | data[i];
  return size;
}

}  // namespace korvex
