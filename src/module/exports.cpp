// The exported procedures: each reads the slots its query needs, asks the
// subsystem and writes the answer into the result cells. No exception crosses
// this boundary. This file must not see windows.h (see exports.h). It sees
// both the hosts' header and the export table's declarations, so the shims
// can drift from neither.
#include "korvex.h"
#include "module/exports.h"

#include <optional>
#include <string_view>
#include <utility>
#include <variant>

#include "exchange/host_text.h"
#include "host/system_error_text.h"
#include "host/trigger_word.h"
#include "module/module.h"
#include "platform/kept_last_error.h"

namespace korvex {
namespace {

// An answer goes into the cell its type names: a number into the result slot,
// a text into the text result. A query with nothing to report answers with an
// empty optional and leaves both cells as they were.
void write_answer(ValueExchange& exchange, std::int32_t number) { exchange.set_result(number); }
void write_answer(ValueExchange& exchange, std::string_view text) {
  exchange.set_text_result(text);
}
template <typename Answer>
void write_answer(ValueExchange& exchange, std::optional<Answer> answer) {
  if (answer) write_answer(exchange, std::move(*answer));
}
template <typename... Answers>
void write_answer(ValueExchange& exchange, std::variant<Answers...> answer) {
  std::visit([&](auto&& value) { write_answer(exchange, std::move(value)); }, std::move(answer));
}

// The thread's last error belongs to the host: an export leaves it as it
// found it, whatever its own system calls set on the way. Only GetHddInfo
// reports a code, and leaves it for GetErrorMessage to explain.
enum class LastError { kHostsOwn, kReportedByQuery };

// Runs the call on the loaded module, holding the module's lock.
template <LastError kLastError = LastError::kHostsOwn, typename Result, typename Call>
Result run(Result fallback, Call&& call) noexcept {
  Lock* lock = module_lock();
  if (lock == nullptr) return fallback;
  const Lock::Held held(*lock);
  Module& module = *loaded_module();
  std::optional<KeptLastError> kept;
  if constexpr (kLastError == LastError::kHostsOwn) kept.emplace(module.platform);
  try {
    return std::forward<Call>(call)(module);
  } catch (...) {
    return fallback;
  }
}

template <typename Call>
void run(Call&& call) noexcept {
  run(0, [&](Module& m) { std::forward<Call>(call)(m); return 0; });
}

// Runs a query and writes its answer.
template <typename Query>
void answer(Query&& query) noexcept {
  run([&](Module& m) { write_answer(m.exchange, std::forward<Query>(query)(m)); });
}

}  // namespace
}  // namespace korvex

using korvex::answer;
using korvex::Module;
using korvex::run;

extern "C" {

void SetData(std::int32_t value) { run([&](Module& m) { m.exchange.push_data(value); }); }
std::int32_t GetData() { return run(0, [](Module& m) { return m.exchange.result(); }); }
// The praise comes after the lock is given back: its box stays up until the
// user closes it, and a lock held that long would stall every other thread's
// export, a host's window thread among them. The box uses nothing of the
// module, and the platform outlives the module.
void SetFile(const char* text) {
  korvex::Platform* praise_on = nullptr;
  run([&](Module& m) {
    m.exchange.push_text(korvex::host_text(text));
    if (korvex::is_trigger_word(m.exchange.text_slot(0))) praise_on = &m.platform;
  });
  if (praise_on != nullptr) {
    const korvex::KeptLastError kept(*praise_on);
    korvex::show_praise(*praise_on);
  }
}
const char* GetFile() { return run("", [](Module& m) { return m.exchange.text_result().c_str(); }); }
const char* GetInfo() { return korvex::info_text(); }
const char* Copyright() { return korvex::copyright_text(); }

// The host pushes the event's identifier first and its new name last.
void RenameEvent() {
  run([](Module& m) { m.events.rename(m.exchange.text_slot(1), m.exchange.text_slot(0)); });
}
// Nothing on the way from here to the module's read of the last error may
// touch it: the code asked about is the host's, or the module's last export's.
void GetErrorMessage() {
  run([](Module& m) {
    const korvex::SystemErrorText message = korvex::last_error_text(m.platform);
    m.exchange.set_text_result(message.text());
  });
}
void SetPath(const char* path) { run([&](Module& m) { m.settings.set_path(korvex::host_text(path)); }); }
void SetParentWindow(std::uintptr_t window) {
  run([&](Module& m) { m.window_hook.set_parent_window(window); });
}
// The first argument carries nothing the module uses.
void Draw(std::int32_t, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  run([&](Module& m) { m.settings.draw(x, y, width, height); });
}

void ListDrives() { answer([](Module& m) { return m.drives.list_drives(); }); }
void SelectDrive() { run([](Module& m) { m.drives.select_drive(m.exchange.data_slot(0)); }); }
// The host pushes the decimal places first and the mode last.
void SetAlign() {
  run([](Module& m) { m.drives.set_align(m.exchange.data_slot(0), m.exchange.data_slot(1)); });
}
void GetDriveLetter() { answer([](Module& m) { return m.drives.drive_letter(); }); }
void GetDriveFileSystem() { answer([](Module& m) { return m.drives.file_system(); }); }
void GetVolumeLabel() { answer([](Module& m) { return m.drives.volume_label(); }); }
void GetVolumeSerial() { answer([](Module& m) { return m.drives.volume_serial(); }); }
void GetDriveType() { answer([](Module& m) { return m.drives.drive_type(); }); }
void GetTotalSpace() { answer([](Module& m) { return m.drives.total_space(); }); }
void GetFreeSpace() { answer([](Module& m) { return m.drives.free_space(); }); }
void GetUsedSpace() { answer([](Module& m) { return m.drives.used_space(); }); }
void GetUsedPercent() { answer([](Module& m) { return m.drives.used_percent(); }); }
void GetFreePercent() { answer([](Module& m) { return m.drives.free_percent(); }); }

void GetHddInfo() {
  run<korvex::LastError::kReportedByQuery>(0, [](Module& m) {
    const korvex::HddInfo info = m.disks.get_hdd_info(m.exchange.data_slot(0));
    m.exchange.set_text_result(info.serial);
    m.exchange.set_result(info.last_error);
    return 0;
  });
}

// GetHddX answers from the identify record as disk_getter::kX describes.
#define KORVEX_DISK_GETTER(Field)                                                      \
  void GetHdd##Field() {                                                               \
    answer([](Module& m) { return m.disks.answer(korvex::disk_getter::k##Field); });  \
  }
KORVEX_DISK_GETTER(GenConfig)
KORVEX_DISK_GETTER(NumCyls)
KORVEX_DISK_GETTER(NumHeads)
KORVEX_DISK_GETTER(BytesPerTrack)
KORVEX_DISK_GETTER(BytesPerSector)
KORVEX_DISK_GETTER(SectorsPerTrack)
KORVEX_DISK_GETTER(VendorUnique)
KORVEX_DISK_GETTER(PhysicalSerial)
KORVEX_DISK_GETTER(BufferType)
KORVEX_DISK_GETTER(BufferSize)
KORVEX_DISK_GETTER(ECCSize)
KORVEX_DISK_GETTER(FirmwareRev)
KORVEX_DISK_GETTER(ModelNumber)
KORVEX_DISK_GETTER(MoreVendorUnique)
KORVEX_DISK_GETTER(Capabilities)
KORVEX_DISK_GETTER(PIOTiming)
KORVEX_DISK_GETTER(DMATiming)
KORVEX_DISK_GETTER(BS)
KORVEX_DISK_GETTER(NumCurrentCyls)
KORVEX_DISK_GETTER(NumCurrentHeads)
KORVEX_DISK_GETTER(NumCurrentSectorsPerTrack)
KORVEX_DISK_GETTER(CurrentSectorCapacity)
KORVEX_DISK_GETTER(MultSectorStuff)
KORVEX_DISK_GETTER(TotalAddressableSectors)
KORVEX_DISK_GETTER(SingleWordDMA)
KORVEX_DISK_GETTER(MultiWordDMA)

}  // extern "C"
