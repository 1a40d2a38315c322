// The host's disk queries: GetHddInfo asks a physical disk for its identify
// sector, and the GetHdd getters hand single fields of what it kept to the host.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "identify/identify_query.h"
#include "identify/identify_record.h"
#include "identify/system_class.h"
#include "platform/platform.h"

namespace korvex {

enum class OutputForm {
  kNumber,        // the 16-bit word, zero-extended
  kDecimalText,   // 16-bit words unsigned, 32-bit fields signed
  kIdentifyText,  // the text field
  kEmptyText,     // nothing is read
};

struct DiskGetter {
  OutputForm form;
  IdentifyField field;  // one word, two for a 32-bit field, or a text field
};

// One per GetHdd export, named after it.
namespace disk_getter {
inline constexpr DiskGetter kGenConfig{OutputForm::kNumber, {0, 1}};
inline constexpr DiskGetter kNumCyls{OutputForm::kNumber, {1, 1}};
inline constexpr DiskGetter kNumHeads{OutputForm::kNumber, {3, 1}};
inline constexpr DiskGetter kBytesPerTrack{OutputForm::kNumber, {4, 1}};
inline constexpr DiskGetter kBytesPerSector{OutputForm::kNumber, {5, 1}};
inline constexpr DiskGetter kSectorsPerTrack{OutputForm::kNumber, {6, 1}};
inline constexpr DiskGetter kVendorUnique{OutputForm::kEmptyText, {7, 3}};
inline constexpr DiskGetter kPhysicalSerial{OutputForm::kIdentifyText, kSerialNumberField};
inline constexpr DiskGetter kBufferType{OutputForm::kDecimalText, {20, 1}};
inline constexpr DiskGetter kBufferSize{OutputForm::kDecimalText, {21, 1}};
inline constexpr DiskGetter kECCSize{OutputForm::kDecimalText, {22, 1}};
inline constexpr DiskGetter kFirmwareRev{OutputForm::kIdentifyText, kFirmwareRevisionField};
inline constexpr DiskGetter kModelNumber{OutputForm::kIdentifyText, kModelNumberField};
inline constexpr DiskGetter kMoreVendorUnique{OutputForm::kDecimalText, {47, 1}};
inline constexpr DiskGetter kCapabilities{OutputForm::kDecimalText, {49, 1}};
inline constexpr DiskGetter kPIOTiming{OutputForm::kDecimalText, {51, 1}};
inline constexpr DiskGetter kDMATiming{OutputForm::kDecimalText, {52, 1}};
inline constexpr DiskGetter kBS{OutputForm::kDecimalText, {53, 1}};
inline constexpr DiskGetter kNumCurrentCyls{OutputForm::kDecimalText, {54, 1}};
inline constexpr DiskGetter kNumCurrentHeads{OutputForm::kDecimalText, {55, 1}};
inline constexpr DiskGetter kNumCurrentSectorsPerTrack{OutputForm::kDecimalText, {56, 1}};
inline constexpr DiskGetter kCurrentSectorCapacity{OutputForm::kDecimalText, {57, 2}};
inline constexpr DiskGetter kMultSectorStuff{OutputForm::kDecimalText, {59, 1}};
inline constexpr DiskGetter kTotalAddressableSectors{OutputForm::kDecimalText, {60, 2}};
inline constexpr DiskGetter kSingleWordDMA{OutputForm::kDecimalText, {62, 1}};
inline constexpr DiskGetter kMultiWordDMA{OutputForm::kDecimalText, {63, 1}};
}  // namespace disk_getter

// What GetHddInfo reports: the disk's serial text (empty when no attempt
// gave one) and the system's last-error value as the attempts left it.
struct HddInfo {
  std::string serial;
  std::int32_t last_error = 0;
};

// A getter's answer: a number for the result slot or a text for the text
// result; the text stays valid until the next answer.
using DiskAnswer = std::variant<std::int32_t, std::string_view>;

class DiskIdentification {
 public:
  explicit DiskIdentification(Platform& platform)
      : platform_(platform), system_class_(platform), query_(platform, system_class_) {
    answer_text_.reserve(2 * kModelNumberField.words);  // the longest text field
  }

  // Asks the disk with this number: first through the SCSI port name, then,
  // when that gives no serial text, through the physical drive name. On NT
  // 5.0 and later, when both leave the serial text empty, the physical drive
  // is asked again, each time only while the serial text stays empty:
  // through the ATA pass-through (from NT 5.2), through the SCSI-to-ATA
  // translation of the SCSI pass-through, and then the storage property
  // query with, on NVMe disks, their own identify data. The record starts
  // out zero and keeps the last answer.
  HddInfo get_hdd_info(std::int32_t device_number);

  // One getter's answer from the record, which it leaves as it is.
  DiskAnswer answer(const DiskGetter& getter);

  const IdentifyRecord& record() const { return record_; }

 private:
  bool asks_newer_requests();
  std::string ask_newer_requests(std::int32_t device_number);

  Platform& platform_;
  SystemClass system_class_;
  IdentifyQuery query_;
  IdentifyRecord record_;
  std::string answer_text_;  // the last text answer, its storage reused
};

}  // namespace korvex
