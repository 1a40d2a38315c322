// The host's disk queries: GetHddInfo asks a physical disk for its identify
// sector, and the GetHdd getters hand single fields of what it kept to the host.
#pragma once

#include <cstdint>

#include "host/value_exchange.h"
#include "identify/identify_query.h"
#include "identify/identify_record.h"
#include "platform/platform.h"

namespace korvex {

enum class OutputForm {
  kNumber,        // the 16-bit word, zero-extended, into the result slot
  kDecimalText,   // 16-bit words unsigned, 32-bit fields signed, into the text result
  kIdentifyText,  // the text field into the text result
  kEmptyText,     // the text result emptied; nothing is read
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

class DiskIdentification {
 public:
  DiskIdentification(Platform& platform, ValueExchange& exchange);

  // Asks the disk whose number is in slot 0: first through the SCSI port
  // name, then, when that gives no serial text, through the physical drive
  // name. The text result receives the serial text, the result slot the
  // system's last-error value as the attempts left it.
  void get_hdd_info();

  // Answers one getter from the record; writes one result cell, never the record.
  void answer(const DiskGetter& getter);

  const IdentifyRecord& record() const { return record_; }

 private:
  Platform& platform_;
  ValueExchange& exchange_;
  IdentifyQuery query_;
  IdentifyRecord record_;
};

}  // namespace korvex
