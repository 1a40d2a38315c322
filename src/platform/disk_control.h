// The system's disk-control requests that carry IDENTIFY DEVICE, byte for
// byte as Windows lays them out: the SMART driver's SMART_RCV_DRIVE_DATA and
// the SCSI miniport pass-through IOCTL_SCSI_MINIPORT with
// IOCTL_SCSI_MINIPORT_IDENTIFY. All integers are little-endian and nothing is
// padded.
#pragma once

#include <cstddef>
#include <cstdint>

namespace korvex {

namespace win32 {
inline constexpr std::uint32_t kSmartReceiveDriveData = 0x7C088;
inline constexpr std::uint32_t kScsiMiniport = 0x4D008;
inline constexpr std::uint32_t kScsiMiniportIdentify = 0x1B0501;
}  // namespace win32

#pragma pack(push, 1)

struct IDEREGS {
  std::uint8_t bFeaturesReg;
  std::uint8_t bSectorCountReg;
  std::uint8_t bSectorNumberReg;
  std::uint8_t bCylLowReg;
  std::uint8_t bCylHighReg;
  std::uint8_t bDriveHeadReg;
  std::uint8_t bCommandReg;
  std::uint8_t bReserved;
};

struct SENDCMDINPARAMS {
  std::uint32_t cBufferSize;
  IDEREGS irDriveRegs;
  std::uint8_t bDriveNumber;
  std::uint8_t bReserved[3];
  std::uint32_t dwReserved[4];
  std::uint8_t bBuffer[1];  // declared by the interface; never sent on the SMART path
};

struct DRIVERSTATUS {
  std::uint8_t bDriverError;
  std::uint8_t bIDEError;
  std::uint8_t bReserved[2];
  std::uint32_t dwReserved[2];
};

struct SENDCMDOUTPARAMS {
  std::uint32_t cBufferSize;
  DRIVERSTATUS DriverStatus;
  std::uint8_t bBuffer[512];  // the identify sector
};

struct SRB_IO_CONTROL {
  std::uint32_t HeaderLength;
  char Signature[8];  // no terminator
  std::uint32_t Timeout;
  std::uint32_t ControlCode;
  std::uint32_t ReturnCode;
  std::uint32_t Length;  // the bytes after the header
};

#pragma pack(pop)

static_assert(sizeof(IDEREGS) == 8);
static_assert(offsetof(IDEREGS, bFeaturesReg) == 0);
static_assert(offsetof(IDEREGS, bSectorCountReg) == 1);
static_assert(offsetof(IDEREGS, bSectorNumberReg) == 2);
static_assert(offsetof(IDEREGS, bCylLowReg) == 3);
static_assert(offsetof(IDEREGS, bCylHighReg) == 4);
static_assert(offsetof(IDEREGS, bDriveHeadReg) == 5);
static_assert(offsetof(IDEREGS, bCommandReg) == 6);
static_assert(offsetof(IDEREGS, bReserved) == 7);

static_assert(sizeof(SENDCMDINPARAMS) == 33);
static_assert(offsetof(SENDCMDINPARAMS, cBufferSize) == 0);
static_assert(offsetof(SENDCMDINPARAMS, irDriveRegs) == 4);
static_assert(offsetof(SENDCMDINPARAMS, bDriveNumber) == 12);
static_assert(offsetof(SENDCMDINPARAMS, bReserved) == 13);
static_assert(offsetof(SENDCMDINPARAMS, dwReserved) == 16);
static_assert(offsetof(SENDCMDINPARAMS, bBuffer) == 32);

static_assert(sizeof(DRIVERSTATUS) == 12);
static_assert(sizeof(SENDCMDOUTPARAMS) == 528);
static_assert(offsetof(SENDCMDOUTPARAMS, cBufferSize) == 0);
static_assert(offsetof(SENDCMDOUTPARAMS, DriverStatus) == 4);
static_assert(offsetof(SENDCMDOUTPARAMS, DriverStatus.bDriverError) == 4);
static_assert(offsetof(SENDCMDOUTPARAMS, DriverStatus.bIDEError) == 5);
static_assert(offsetof(SENDCMDOUTPARAMS, DriverStatus.bReserved) == 6);
static_assert(offsetof(SENDCMDOUTPARAMS, DriverStatus.dwReserved) == 8);
static_assert(offsetof(SENDCMDOUTPARAMS, bBuffer) == 16);

static_assert(sizeof(SRB_IO_CONTROL) == 28);
static_assert(offsetof(SRB_IO_CONTROL, HeaderLength) == 0);
static_assert(offsetof(SRB_IO_CONTROL, Signature) == 4);
static_assert(offsetof(SRB_IO_CONTROL, Timeout) == 12);
static_assert(offsetof(SRB_IO_CONTROL, ControlCode) == 16);
static_assert(offsetof(SRB_IO_CONTROL, ReturnCode) == 20);
static_assert(offsetof(SRB_IO_CONTROL, Length) == 24);

}  // namespace korvex
