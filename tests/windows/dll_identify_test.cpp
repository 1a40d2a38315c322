// GetHddInfo and the disk getters of the real DLL on the NT path, with the
// system's own answers to the same calls as the reference.
#include <windows.h>
#include <winioctl.h>
#include <ntddscsi.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "korvex_dll.h"
#include "open_handles.h"
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

// The code the request fails with; ERROR_SUCCESS when it is answered or the
// device does not open. size bytes of zeros go in and come back in one
// buffer, except where the caller puts a request in it.
DWORD refusal(HANDLE device, DWORD code, unsigned char* buffer, DWORD size) {
  if (device == INVALID_HANDLE_VALUE) return ERROR_SUCCESS;
  DWORD returned = 0;
  const BOOL ok = DeviceIoControl(device, code, buffer, size, buffer, size, &returned, nullptr);
  const DWORD error = ok ? ERROR_SUCCESS : GetLastError();
  CloseHandle(device);
  return error;
}

DWORD miniport_refusal(const char* name) {
  unsigned char buffer[572] = {};
  constexpr DWORD kScsiMiniport = 0x4D008;
  return refusal(open_device(name), kScsiMiniport, buffer, sizeof buffer);
}

// IDENTIFY DEVICE through the ATA pass-through, header as a 32-bit program
// lays it out.
DWORD ata_pass_through_refusal(const char* name) {
  unsigned char buffer[40 + 512] = {40, 0, 3, 0, 0, 0, 0, 0, 0, 2, 0,
                                    0,  2, 0, 0, 0, 0, 0, 0, 0, 40};
  const unsigned char task_file[8] = {0, 1, 1, 0, 0, 0xA0, 0xEC, 0};
  std::memcpy(buffer + 32, task_file, sizeof task_file);
  constexpr DWORD kAtaPassThrough = 0x4D02C;
  return refusal(open_device(name), kAtaPassThrough, buffer, sizeof buffer);
}

// IDENTIFY DEVICE in the 16-byte ATA PASS-THROUGH command through the SCSI
// pass-through, laid out with the system's own declarations. A call that
// succeeds without GOOD status or without the sector counts as refused.
DWORD scsi_pass_through_refusal(const char* name) {
  struct {
    SCSI_PASS_THROUGH header;
    UCHAR sense[32];
    UCHAR data[512];
  } buffer = {};
  buffer.header.Length = sizeof buffer.header;
  buffer.header.CdbLength = 16;
  buffer.header.SenseInfoLength = sizeof buffer.sense;
  buffer.header.DataIn = SCSI_IOCTL_DATA_IN;
  buffer.header.DataTransferLength = sizeof buffer.data;
  buffer.header.TimeOutValue = 2;
  buffer.header.DataBufferOffset = offsetof(decltype(buffer), data);
  buffer.header.SenseInfoOffset = offsetof(decltype(buffer), sense);
  const UCHAR command[16] = {0x85, 0x08, 0x0E, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0xEC, 0};
  std::memcpy(buffer.header.Cdb, command, sizeof command);
  const DWORD error = refusal(open_device(name), IOCTL_SCSI_PASS_THROUGH,
                              reinterpret_cast<unsigned char*>(&buffer), sizeof buffer);
  if (error != ERROR_SUCCESS) return error;
  return buffer.header.ScsiStatus == 0 && buffer.header.DataTransferLength == 512
             ? ERROR_SUCCESS
             : ERROR_INVALID_FUNCTION;
}

// The storage descriptor's four text offsets, at 12 to 27; empty when the
// query fails.
std::string storage_text_offsets(const char* name) {
  const HANDLE device =
      CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (device == INVALID_HANDLE_VALUE) return {};
  const unsigned char query[12] = {};
  unsigned char answer[1024] = {};
  DWORD returned = 0;
  constexpr DWORD kStorageQueryProperty = 0x2D1400;
  const BOOL ok = DeviceIoControl(device, kStorageQueryProperty, const_cast<unsigned char*>(query),
                                  sizeof query, answer, sizeof answer, &returned, nullptr);
  CloseHandle(device);
  if (!ok || returned < 28) return {};
  return std::string(reinterpret_cast<const char*>(answer) + 12, 16);
}

// The bus type the storage descriptor names; -1 when the query fails.
long long storage_bus_type(const char* name) {
  const HANDLE device =
      CreateFileA(name, 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (device == INVALID_HANDLE_VALUE) return -1;
  STORAGE_PROPERTY_QUERY query = {};
  query.PropertyId = StorageDeviceProperty;
  query.QueryType = PropertyStandardQuery;
  unsigned char answer[1024] = {};
  DWORD returned = 0;
  const BOOL ok = DeviceIoControl(device, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof query,
                                  answer, sizeof answer, &returned, nullptr);
  CloseHandle(device);
  if (!ok || returned < offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) + 4) return -1;
  STORAGE_DEVICE_DESCRIPTOR descriptor;
  std::memcpy(&descriptor, answer, sizeof descriptor);
  return descriptor.BusType;
}

TEST(DllIdentify, AFailedDiskLeavesEmptyTextTheRefusalsCodeAndGettersAnsweringNothing) {
  // What Wine does: it has no SCSI port device, refuses the miniport, ATA and
  // SCSI pass-through requests on the physical drive and answers its storage
  // query with a descriptor without texts on a bus other than NVMe, so the
  // NVMe identify data are not asked. On Windows disk 0 may well answer.
  if (!running_under_wine()) GTEST_SKIP() << "needs a disk 0 that refuses, as Wine's does";
  constexpr const char* kDrive0 = "\\\\.\\PhysicalDrive0";
  ASSERT_EQ(open_error("\\\\.\\Scsi0:"), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  ASSERT_EQ(open_error(kDrive0), static_cast<DWORD>(ERROR_SUCCESS));
  const DWORD refusal = miniport_refusal(kDrive0);
  ASSERT_EQ(refusal, static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  ASSERT_EQ(ata_pass_through_refusal(kDrive0), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
  EXPECT_NE(scsi_pass_through_refusal(kDrive0), static_cast<DWORD>(ERROR_SUCCESS));
  ASSERT_EQ(storage_text_offsets(kDrive0), std::string(16, '\0'));
  EXPECT_NE(storage_bus_type(kDrive0), static_cast<long long>(BusTypeNvme));

  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  // The newer requests found no serial: the host reads, and GetErrorMessage
  // explains, the miniport's refusal as before them.
  EXPECT_EQ(dll.hdd_info(0), std::make_pair(std::string(), static_cast<std::int32_t>(refusal)));
  dll.call("GetErrorMessage");
  EXPECT_EQ(dll.get_file(), "Request not supported.");

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

TEST(DllIdentify, GetHddInfoLeavesNoHandleOpen) {
  constexpr const char* kDrive0 = "\\\\.\\PhysicalDrive0";
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  dll.hdd_info(0);  // whatever the first call sets up for good is not counted
  const std::size_t before = open_handles();

  // The count sees a device handle left open.
  const HANDLE device = open_device(kDrive0);
  if (device != INVALID_HANDLE_VALUE) {
    EXPECT_EQ(open_handles(), before + 1);
    CloseHandle(device);
  }
  for (const std::int32_t disk : {0, 1, 0, -1, 0}) dll.hdd_info(disk);
  EXPECT_EQ(open_handles(), before);
}

}  // namespace
}  // namespace korvex::tests
