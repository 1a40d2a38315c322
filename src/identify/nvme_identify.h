// An NVMe disk's own identify data, which Windows 10 and later hand out
// through the storage property query's protocol-specific properties, to a
// handle opened without access rights: the controller data give the serial,
// model and firmware, namespace 1 its size.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "platform/disk_control.h"

namespace korvex {

inline constexpr std::size_t kNvmeIdentifySize = 4096;

// The query and its answer in one buffer: the property query's two fields,
// the protocol data request as its AdditionalParameters, and room behind it
// for the identify data. The answer overwrites it from the start with a
// STORAGE_PROTOCOL_DATA_DESCRIPTOR.
struct NvmeIdentifyBuffer {
  std::uint32_t PropertyId;
  std::uint32_t QueryType;
  STORAGE_PROTOCOL_SPECIFIC_DATA ProtocolSpecific;
  std::uint8_t data[kNvmeIdentifySize];
};
static_assert(offsetof(NvmeIdentifyBuffer, PropertyId) == offsetof(STORAGE_PROPERTY_QUERY, PropertyId));
static_assert(offsetof(NvmeIdentifyBuffer, QueryType) == offsetof(STORAGE_PROPERTY_QUERY, QueryType));
static_assert(offsetof(NvmeIdentifyBuffer, ProtocolSpecific) ==
              offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters));
static_assert(offsetof(NvmeIdentifyBuffer, ProtocolSpecific) ==
              offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, ProtocolSpecificData));
static_assert(offsetof(NvmeIdentifyBuffer, data) == 48);
static_assert(sizeof(NvmeIdentifyBuffer) == 8 + 40 + kNvmeIdentifySize);

enum class NvmeIdentify {
  kController,  // the adapter property, identify controller (CNS 1)
  kNamespace1,  // the device property, identify namespace (CNS 0) of namespace 1
};

NvmeIdentifyBuffer nvme_identify_request(NvmeIdentify which);

// The identify data the answer holds, when the offset and length it gives lie
// inside the bytes returned, behind the descriptor, and hold at least
// needed bytes.
std::optional<std::span<const std::uint8_t>> nvme_identify_data(
    std::span<const std::uint8_t> answer, std::size_t needed);

// The identify controller data's texts: ASCII, blank-padded, in order.
struct NvmeControllerTexts {
  std::string serial;
  std::string model;
  std::string firmware;
};
inline constexpr std::size_t kNvmeControllerTextsEnd = 72;
NvmeControllerTexts nvme_controller_texts(std::span<const std::uint8_t> data);

// NSZE, the namespace size in logical blocks: the identify namespace data's
// first 8 bytes, little-endian.
inline constexpr std::size_t kNvmeNamespaceSizeEnd = 8;
std::uint64_t nvme_namespace_size(std::span<const std::uint8_t> data);

}  // namespace korvex
