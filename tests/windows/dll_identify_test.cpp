// GetHddInfo and the disk getters of the real DLL on the NT path, with the
// system's own answers to the same calls as the reference.
#include <windows.h>

#include <gtest/gtest.h>

#include "korvex_dll.h"
#include "wine.h"

namespace korvex::tests {
namespace {

// The system's own answers when asked the way the module asks.
HANDLE open_device(const char* name) {
  return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     nullptr, OPEN_EXISTING, 0, nullptr);
}

DWORD open_error(const char* name) {
  const HANDLE device = open_device(name);
  if (device == INVALID_HANDLE_VALUE) return GetLastError();
  CloseHandle(device);
  return ERROR_SUCCESS;
}

DWORD miniport_refusal(const char* name) {
  const HANDLE device = open_device(name);
  if (device == INVALID_HANDLE_VALUE) return ERROR_SUCCESS;
  unsigned char buffer[572] = {};
  DWORD returned = 0;
  constexpr DWORD kScsiMiniport = 0x4D008;
  const BOOL ok = DeviceIoControl(device, kScsiMiniport, buffer, sizeof buffer, buffer,
                                  sizeof buffer, &returned, nullptr);
  const DWORD code = ok ? ERROR_SUCCESS : GetLastError();
  CloseHandle(device);
  return code;
}

TEST(DllIdentify, AFailedDiskLeavesEmptyTextTheRefusalsCodeAndAZeroRecord) {
  // What Wine does: it has no SCSI port device and refuses the request on the
  // physical drive. On Windows disk 0 may well answer.
  if (!running_under_wine()) GTEST_SKIP() << "needs a disk 0 that refuses, as Wine's does";
  ASSERT_EQ(open_error("\\\\.\\Scsi0:"), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  ASSERT_EQ(open_error("\\\\.\\PhysicalDrive0"), static_cast<DWORD>(ERROR_SUCCESS));
  const DWORD refusal = miniport_refusal("\\\\.\\PhysicalDrive0");
  ASSERT_EQ(refusal, static_cast<DWORD>(ERROR_NOT_SUPPORTED));

  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  EXPECT_EQ(dll.hdd_info(0), std::make_pair(std::string(), static_cast<std::int32_t>(refusal)));

  // Each getter follows a call that left another value in its cell.
  for (const char* number : {"GetHddGenConfig", "GetHddNumCyls", "GetHddNumHeads",
                             "GetHddBytesPerTrack", "GetHddBytesPerSector",
                             "GetHddSectorsPerTrack"}) {
    dll.call("GetHddInfo");
    dll.call(number);
    EXPECT_EQ(dll.get_data(), 0) << number;
  }
  for (const char* text : {"GetHddVendorUnique", "GetHddPhysicalSerial", "GetHddFirmwareRev",
                           "GetHddModelNumber"}) {
    dll.call("GetHddBS");
    dll.call(text);
    EXPECT_EQ(dll.get_file(), "") << text;
  }
  for (const char* decimal :
       {"GetHddBufferType", "GetHddBufferSize", "GetHddECCSize", "GetHddMoreVendorUnique",
        "GetHddCapabilities", "GetHddPIOTiming", "GetHddDMATiming", "GetHddBS",
        "GetHddNumCurrentCyls", "GetHddNumCurrentHeads", "GetHddNumCurrentSectorsPerTrack",
        "GetHddCurrentSectorCapacity", "GetHddMultSectorStuff", "GetHddTotalAddressableSectors",
        "GetHddSingleWordDMA", "GetHddMultiWordDMA"}) {
    dll.call("GetHddVendorUnique");
    dll.call(decimal);
    EXPECT_EQ(dll.get_file(), "0") << decimal;
  }
}

}  // namespace
}  // namespace korvex::tests
