// The module's exports: the one list of them, a line each with the ordinal,
// the name, the arguments and the result. The shims are declared from it
// (exports.h), korvex.def is generated from it (CMakeLists.txt reads the
// X(...) lines), and korvex-host and the Windows tests take the names and
// calling shapes from it.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace korvex {

// What an export takes, as 32-bit values on the stack (a window handle is
// pointer-sized), and what it returns.
enum class Arguments { kNone, kInteger, kText, kWindow, kFiveIntegers };
enum class Returns { kNothing, kNumber, kText };

}  // namespace korvex

// clang-format off
#define KORVEX_EXPORT_TABLE(X)                                  \
  X(1, RenameEvent, kNone, kNothing)                            \
  X(2, ListDrives, kNone, kNothing)                             \
  X(3, SelectDrive, kNone, kNothing)                            \
  X(4, SetAlign, kNone, kNothing)                               \
  X(5, GetDriveLetter, kNone, kNothing)                         \
  X(6, GetDriveFileSystem, kNone, kNothing)                     \
  X(7, GetVolumeLabel, kNone, kNothing)                         \
  X(8, GetVolumeSerial, kNone, kNothing)                        \
  X(9, GetDriveType, kNone, kNothing)                           \
  X(10, GetTotalSpace, kNone, kNothing)                         \
  X(11, GetFreeSpace, kNone, kNothing)                          \
  X(12, GetUsedSpace, kNone, kNothing)                          \
  X(13, GetUsedPercent, kNone, kNothing)                        \
  X(14, GetFreePercent, kNone, kNothing)                        \
  X(15, GetHddInfo, kNone, kNothing)                            \
  X(16, GetErrorMessage, kNone, kNothing)                       \
  X(17, GetHddGenConfig, kNone, kNothing)                       \
  X(18, GetHddNumCyls, kNone, kNothing)                         \
  X(19, GetHddNumHeads, kNone, kNothing)                        \
  X(20, GetHddBytesPerTrack, kNone, kNothing)                   \
  X(21, GetHddBytesPerSector, kNone, kNothing)                  \
  X(22, GetHddSectorsPerTrack, kNone, kNothing)                 \
  X(23, GetHddVendorUnique, kNone, kNothing)                    \
  X(24, GetHddPhysicalSerial, kNone, kNothing)                  \
  X(25, GetHddBufferType, kNone, kNothing)                      \
  X(26, GetHddBufferSize, kNone, kNothing)                      \
  X(27, GetHddECCSize, kNone, kNothing)                         \
  X(28, GetHddFirmwareRev, kNone, kNothing)                     \
  X(29, GetHddModelNumber, kNone, kNothing)                     \
  X(30, GetHddMoreVendorUnique, kNone, kNothing)                \
  X(31, GetHddCapabilities, kNone, kNothing)                    \
  X(32, GetHddPIOTiming, kNone, kNothing)                       \
  X(33, GetHddDMATiming, kNone, kNothing)                       \
  X(34, GetHddBS, kNone, kNothing)                              \
  X(35, GetHddNumCurrentCyls, kNone, kNothing)                  \
  X(36, GetHddNumCurrentHeads, kNone, kNothing)                 \
  X(37, GetHddNumCurrentSectorsPerTrack, kNone, kNothing)       \
  X(38, GetHddCurrentSectorCapacity, kNone, kNothing)           \
  X(39, GetHddMultSectorStuff, kNone, kNothing)                 \
  X(40, GetHddTotalAddressableSectors, kNone, kNothing)         \
  X(41, GetHddSingleWordDMA, kNone, kNothing)                   \
  X(42, GetHddMultiWordDMA, kNone, kNothing)                    \
  X(43, Copyright, kNone, kText)                                \
  X(44, GetInfo, kNone, kText)                                  \
  X(45, SetPath, kText, kNothing)                               \
  X(46, SetParentWindow, kWindow, kNothing)                     \
  X(47, Draw, kFiveIntegers, kNothing)                          \
  X(48, SetFile, kText, kNothing)                               \
  X(49, GetFile, kNone, kText)                                  \
  X(50, SetData, kInteger, kNothing)                            \
  X(51, GetData, kNone, kNumber)
// clang-format on

namespace korvex {

struct ExportEntry {
  int ordinal;
  std::string_view name;
  Arguments arguments;
  Returns returns;
};

#define KORVEX_EXPORT_ENTRY(ordinal, name, arguments, returns) \
  ExportEntry{ordinal, #name, Arguments::arguments, Returns::returns},
inline constexpr std::array kExports = {KORVEX_EXPORT_TABLE(KORVEX_EXPORT_ENTRY)};
#undef KORVEX_EXPORT_ENTRY

// The export directory numbers the exports from 1 in the table's order.
constexpr bool numbered_in_order() {
  for (std::size_t i = 0; i < kExports.size(); ++i) {
    if (kExports[i].ordinal != static_cast<int>(i) + 1) return false;
  }
  return true;
}
static_assert(kExports.size() == 51 && numbered_in_order());

// nullptr for a name that is not one of the module's exports.
constexpr const ExportEntry* find_export(std::string_view name) {
  for (const ExportEntry& entry : kExports) {
    if (entry.name == name) return &entry;
  }
  return nullptr;
}

}  // namespace korvex
