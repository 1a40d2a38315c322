#include "identify/disk_identification.h"

#include "identify/identify_text.h"
#include "support/decimal_text.h"

namespace korvex {

HddInfo DiskIdentification::get_hdd_info(std::int32_t device_number) {
  record_.clear();
  constexpr std::uint8_t kDriveNumber = 0;
  std::string serial = query_.run(device_number, kDriveNumber, true, record_);
  // An all-blank serial counts as no answer: the physical drive name may
  // reach the disk where its port did not.
  if (serial.empty()) serial = query_.run(device_number, kDriveNumber, false, record_);
  return {std::move(serial), static_cast<std::int32_t>(platform_.get_last_error())};
}

DiskAnswer DiskIdentification::answer(const DiskGetter& getter) const {
  const std::uint8_t word = getter.field.first_word;
  switch (getter.form) {
    case OutputForm::kNumber:
      return std::int32_t{record_.word(word)};
    case OutputForm::kDecimalText:
      // The 32-bit fields are taken as signed: from 2^31 up they read negative.
      return integer_to_text(getter.field.words == 2
                                 ? static_cast<std::int32_t>(record_.double_word(word))
                                 : record_.word(word));
    case OutputForm::kIdentifyText:
      return identify_text(record_.bytes_of(getter.field));
    case OutputForm::kEmptyText:
      break;
  }
  return std::string();
}

}  // namespace korvex
