#include "export_catalog.h"

#include <array>

namespace korvex::host_tool {
namespace {

using enum Arguments;
using enum Returns;

constexpr std::array kExports = {
    ExportShape{"RenameEvent", kNone, kNothing},
    ExportShape{"ListDrives", kNone, kNothing},
    ExportShape{"SelectDrive", kNone, kNothing},
    ExportShape{"SetAlign", kNone, kNothing},
    ExportShape{"GetDriveLetter", kNone, kNothing},
    ExportShape{"GetDriveFileSystem", kNone, kNothing},
    ExportShape{"GetVolumeLabel", kNone, kNothing},
    ExportShape{"GetVolumeSerial", kNone, kNothing},
    ExportShape{"GetDriveType", kNone, kNothing},
    ExportShape{"GetTotalSpace", kNone, kNothing},
    ExportShape{"GetFreeSpace", kNone, kNothing},
    ExportShape{"GetUsedSpace", kNone, kNothing},
    ExportShape{"GetUsedPercent", kNone, kNothing},
    ExportShape{"GetFreePercent", kNone, kNothing},
    ExportShape{"GetHddInfo", kNone, kNothing},
    ExportShape{"GetErrorMessage", kNone, kNothing},
    ExportShape{"GetHddGenConfig", kNone, kNothing},
    ExportShape{"GetHddNumCyls", kNone, kNothing},
    ExportShape{"GetHddNumHeads", kNone, kNothing},
    ExportShape{"GetHddBytesPerTrack", kNone, kNothing},
    ExportShape{"GetHddBytesPerSector", kNone, kNothing},
    ExportShape{"GetHddSectorsPerTrack", kNone, kNothing},
    ExportShape{"GetHddVendorUnique", kNone, kNothing},
    ExportShape{"GetHddPhysicalSerial", kNone, kNothing},
    ExportShape{"GetHddBufferType", kNone, kNothing},
    ExportShape{"GetHddBufferSize", kNone, kNothing},
    ExportShape{"GetHddECCSize", kNone, kNothing},
    ExportShape{"GetHddFirmwareRev", kNone, kNothing},
    ExportShape{"GetHddModelNumber", kNone, kNothing},
    ExportShape{"GetHddMoreVendorUnique", kNone, kNothing},
    ExportShape{"GetHddCapabilities", kNone, kNothing},
    ExportShape{"GetHddPIOTiming", kNone, kNothing},
    ExportShape{"GetHddDMATiming", kNone, kNothing},
    ExportShape{"GetHddBS", kNone, kNothing},
    ExportShape{"GetHddNumCurrentCyls", kNone, kNothing},
    ExportShape{"GetHddNumCurrentHeads", kNone, kNothing},
    ExportShape{"GetHddNumCurrentSectorsPerTrack", kNone, kNothing},
    ExportShape{"GetHddCurrentSectorCapacity", kNone, kNothing},
    ExportShape{"GetHddMultSectorStuff", kNone, kNothing},
    ExportShape{"GetHddTotalAddressableSectors", kNone, kNothing},
    ExportShape{"GetHddSingleWordDMA", kNone, kNothing},
    ExportShape{"GetHddMultiWordDMA", kNone, kNothing},
    ExportShape{"Copyright", kNone, kString},
    ExportShape{"GetInfo", kNone, kString},
    ExportShape{"SetPath", kText, kNothing},
    ExportShape{"SetParentWindow", kWindow, kNothing},
    ExportShape{"Draw", kFiveIntegers, kNothing},
    ExportShape{"SetFile", kText, kNothing},
    ExportShape{"GetFile", kNone, kString},
    ExportShape{"SetData", kInteger, kNothing},
    ExportShape{"GetData", kNone, kNumber},
};
static_assert(kExports.size() == 51);

}  // namespace

const ExportShape* find_export(std::string_view name) {
  for (const ExportShape& shape : kExports) {
    if (shape.name == name) return &shape;
  }
  return nullptr;
}

}  // namespace korvex::host_tool
