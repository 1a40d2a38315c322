#include "identify/disk_identification.h"

#include "identify/identify_text.h"
#include "support/decimal_text.h"

namespace korvex {

DiskIdentification::DiskIdentification(Platform& platform, ValueExchange& exchange)
    : platform_(platform), exchange_(exchange), query_(platform) {}

void DiskIdentification::get_hdd_info() {
  record_.clear();
  exchange_.set_text_result({});
  const std::int32_t device_number = exchange_.data_slot(0);
  constexpr std::uint8_t kDriveNumber = 0;
  std::string serial = query_.run(device_number, kDriveNumber, true, record_);
  // An all-blank serial counts as no answer: the physical drive name may
  // reach the disk where its port did not.
  if (serial.empty()) serial = query_.run(device_number, kDriveNumber, false, record_);
  exchange_.set_text_result(std::move(serial));
  exchange_.set_result(static_cast<std::int32_t>(platform_.get_last_error()));
}

void DiskIdentification::answer(const DiskGetter& getter) {
  const std::uint8_t word = getter.field.first_word;
  switch (getter.form) {
    case OutputForm::kNumber:
      exchange_.set_result(record_.word(word));
      break;
    case OutputForm::kDecimalText:
      // The 32-bit fields are taken as signed: from 2^31 up they read negative.
      exchange_.set_text_result(
          integer_to_text(getter.field.words == 2
                              ? static_cast<std::int32_t>(record_.double_word(word))
                              : record_.word(word)));
      break;
    case OutputForm::kIdentifyText:
      exchange_.set_text_result(identify_text(record_.bytes_of(getter.field)));
      break;
    case OutputForm::kEmptyText:
      exchange_.set_text_result({});
      break;
  }
}

}  // namespace korvex
