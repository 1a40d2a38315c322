// The exported procedures: cdecl, plain names, one line each into the loaded
// module. No exception crosses this boundary. This file must not see
// windows.h, whose GetDriveType and GetFreeSpace macros would rename exports.
#include <cstdint>
#include <utility>

#include "host/module.h"

namespace {

template <typename Result, typename Call>
Result answer(Result fallback, Call&& call) noexcept {
  korvex::Module* module = korvex::loaded_module();
  if (module == nullptr) return fallback;
  try {
    return std::forward<Call>(call)(*module);
  } catch (...) {
    return fallback;
  }
}

template <typename Call>
void run(Call&& call) noexcept {
  answer(0, [&](korvex::Module& m) { std::forward<Call>(call)(m); return 0; });
}

}  // namespace

#define KORVEX_EXPORT extern "C" __attribute__((visibility("default")))

KORVEX_EXPORT void SetData(std::int32_t value) { run([&](auto& m) { m.host.set_data(value); }); }
KORVEX_EXPORT std::int32_t GetData() { return answer(0, [](auto& m) { return m.host.get_data(); }); }
KORVEX_EXPORT void SetFile(const char* text) { run([&](auto& m) { m.host.set_file(text); }); }
KORVEX_EXPORT const char* GetFile() { return answer("", [](auto& m) { return m.host.get_file(); }); }
KORVEX_EXPORT const char* GetInfo() { return korvex::HostInterface::info_text(); }
KORVEX_EXPORT const char* Copyright() { return korvex::HostInterface::copyright_text(); }
KORVEX_EXPORT void RenameEvent() { run([](auto& m) { m.events.rename(); }); }
// Nothing on the way from here to the module's read of the last error may
// touch it: the code asked about is the host's, or the module's last export's.
KORVEX_EXPORT void GetErrorMessage() { run([](auto& m) { m.host.get_error_message(); }); }
KORVEX_EXPORT void SetPath(const char* path) { run([&](auto& m) { m.settings.set_path(path); }); }
KORVEX_EXPORT void SetParentWindow(korvex::WindowHandle window) {
  run([&](auto& m) { m.window_hook.set_parent_window(window); });
}
// The first argument carries nothing the module uses.
KORVEX_EXPORT void Draw(std::int32_t, std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height) {
  run([&](auto& m) { m.settings.draw(x, y, width, height); });
}

KORVEX_EXPORT void ListDrives() { run([](auto& m) { m.drives.list_drives(); }); }
KORVEX_EXPORT void SelectDrive() { run([](auto& m) { m.drives.select_drive(); }); }
KORVEX_EXPORT void SetAlign() { run([](auto& m) { m.drives.set_align(); }); }
KORVEX_EXPORT void GetDriveLetter() { run([](auto& m) { m.drives.get_drive_letter(); }); }
KORVEX_EXPORT void GetDriveFileSystem() { run([](auto& m) { m.drives.get_drive_file_system(); }); }
KORVEX_EXPORT void GetVolumeLabel() { run([](auto& m) { m.drives.get_volume_label(); }); }
KORVEX_EXPORT void GetVolumeSerial() { run([](auto& m) { m.drives.get_volume_serial(); }); }
KORVEX_EXPORT void GetDriveType() { run([](auto& m) { m.drives.get_drive_type(); }); }
KORVEX_EXPORT void GetTotalSpace() { run([](auto& m) { m.drives.get_total_space(); }); }
KORVEX_EXPORT void GetFreeSpace() { run([](auto& m) { m.drives.get_free_space(); }); }
KORVEX_EXPORT void GetUsedSpace() { run([](auto& m) { m.drives.get_used_space(); }); }
KORVEX_EXPORT void GetUsedPercent() { run([](auto& m) { m.drives.get_used_percent(); }); }
KORVEX_EXPORT void GetFreePercent() { run([](auto& m) { m.drives.get_free_percent(); }); }

KORVEX_EXPORT void GetHddInfo() { run([](auto& m) { m.disks.get_hdd_info(); }); }

// GetHddX answers from the identify record as disk_getter::kX describes.
#define KORVEX_DISK_GETTER(Field)                                        \
  KORVEX_EXPORT void GetHdd##Field() {                                   \
    run([](auto& m) { m.disks.answer(korvex::disk_getter::k##Field); }); \
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
