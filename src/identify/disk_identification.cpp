#include "identify/disk_identification.h"

#include "identify/identify_text.h"
#include "identify/storage_property_query.h"
#include "support/decimal_text.h"

namespace korvex {
namespace {

// Versions as major×256+minor.
constexpr std::uint16_t kStorageQueryFrom = 0x0500;
constexpr std::uint16_t kAtaPassThroughFrom = 0x0502;

}  // namespace

HddInfo DiskIdentification::get_hdd_info(std::int32_t device_number) {
  record_.clear();
  constexpr std::uint8_t kDriveNumber = 0;
  std::string serial = query_.run(device_number, kDriveNumber, DeviceName::kScsiPort, record_);
  // An all-blank serial counts as no answer: the physical drive name may
  // reach the disk where its port did not.
  if (serial.empty()) {
    serial = query_.run(device_number, kDriveNumber, DeviceName::kPhysicalDrive, record_);
  }
  const auto first_error = static_cast<std::int32_t>(platform_.get_last_error());
  if (!serial.empty() || !asks_newer_requests()) return {std::move(serial), first_error};

  serial = ask_newer_requests(device_number);
  // A serial from a newer request reads as success. Without one the host
  // reads, and GetErrorMessage explains, the failure of the first two
  // attempts, not whatever the newer requests left.
  const std::int32_t result = serial.empty() ? first_error : 0;
  platform_.set_last_error(static_cast<std::uint32_t>(result));
  return {std::move(serial), result};
}

bool DiskIdentification::asks_newer_requests() {
  return !takes_smart_path(system_class_.get()) &&
         system_class_.version_number() >= kStorageQueryFrom;
}

std::string DiskIdentification::ask_newer_requests(std::int32_t device_number) {
  const std::uint16_t version = system_class_.version_number();
  std::string serial;
  if (version >= kAtaPassThroughFrom) serial = query_.run_ata_pass_through(device_number, record_);
  if (serial.empty()) serial = query_.run_scsi_ata_translation(device_number, record_);
  if (serial.empty()) serial = run_storage_property_query(platform_, device_number, record_);
  return serial;
}

DiskAnswer DiskIdentification::answer(const DiskGetter& getter) {
  const std::uint8_t word = getter.field.first_word;
  answer_text_.clear();
  switch (getter.form) {
    case OutputForm::kNumber:
      return std::int32_t{record_.word(word)};
    case OutputForm::kDecimalText:
      // The 32-bit fields are taken as signed: from 2^31 up they read negative.
      append_integer_text(getter.field.words == 2
                              ? static_cast<std::int32_t>(record_.double_word(word))
                              : record_.word(word),
                          answer_text_);
      break;
    case OutputForm::kIdentifyText:
      append_identify_text(record_.bytes_of(getter.field), answer_text_);
      break;
    case OutputForm::kEmptyText:
      break;
  }
  return std::string_view(answer_text_);
}

}  // namespace korvex
