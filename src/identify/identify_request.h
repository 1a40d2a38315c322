// The IDENTIFY DEVICE request and answer as the two disk-control interfaces
// lay them out in the query's 572-byte work buffer, byte for byte: the SMART
// driver (SMART_RCV_DRIVE_DATA) and the SCSI miniport pass-through
// (IOCTL_SCSI_MINIPORT with IOCTL_SCSI_MINIPORT_IDENTIFY). All integers are
// little-endian and nothing is padded.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace korvex {

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

inline constexpr std::size_t kWorkBufferSize = 572;
using WorkBuffer = std::array<std::uint8_t, kWorkBufferSize>;

// SMART path: the request's first 32 bytes are sent from offset 0; the answer
// is received into its own place right after them.
struct SmartRequestLayout {
  SENDCMDINPARAMS request;
  std::uint8_t rest[kWorkBufferSize - sizeof(SENDCMDINPARAMS)];
};
struct SmartAnswerLayout {
  std::uint8_t sent[offsetof(SENDCMDINPARAMS, bBuffer)];
  SENDCMDOUTPARAMS answer;
  std::uint8_t spare[12];
};

// Miniport path: the whole buffer is sent and received; the answer overwrites
// the request in place behind the header.
struct MiniportRequestLayout {
  SRB_IO_CONTROL header;
  SENDCMDINPARAMS request;
  std::uint8_t rest[kWorkBufferSize - sizeof(SRB_IO_CONTROL) - sizeof(SENDCMDINPARAMS)];
};
struct MiniportAnswerLayout {
  SRB_IO_CONTROL header;
  SENDCMDOUTPARAMS answer;
  std::uint8_t spare[16];
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

static_assert(sizeof(SmartRequestLayout) == kWorkBufferSize);
static_assert(sizeof(SmartAnswerLayout) == kWorkBufferSize);
static_assert(offsetof(SmartAnswerLayout, answer) == 32);
static_assert(sizeof(MiniportRequestLayout) == kWorkBufferSize);
static_assert(offsetof(MiniportRequestLayout, request) == 28);
static_assert(sizeof(MiniportAnswerLayout) == kWorkBufferSize);
static_assert(offsetof(MiniportAnswerLayout, answer) == 28);
static_assert(kWorkBufferSize - sizeof(SRB_IO_CONTROL) == 544);

// What each path hands to DeviceIoControl and where the sector comes back.
inline constexpr std::size_t kSmartSent = offsetof(SENDCMDINPARAMS, bBuffer);
inline constexpr std::size_t kSmartAnswerAt = offsetof(SmartAnswerLayout, answer);
inline constexpr std::size_t kSmartSectorAt = kSmartAnswerAt + offsetof(SENDCMDOUTPARAMS, bBuffer);
inline constexpr std::size_t kMiniportSectorAt =
    offsetof(MiniportAnswerLayout, answer) + offsetof(SENDCMDOUTPARAMS, bBuffer);
static_assert(kSmartSent == 32 && kSmartSectorAt == 48 && kMiniportSectorAt == 44);

inline constexpr std::uint8_t kIdentifyDevice = 0xEC;
inline constexpr std::uint32_t kMiniportIdentify = 0x1B0501;  // IOCTL_SCSI_MINIPORT_IDENTIFY

// IDENTIFY DEVICE for a drive number, whose bit 0 picks the device on the
// channel through the drive/head register.
constexpr SENDCMDINPARAMS identify_command(std::uint8_t drive_number) {
  return {
      .cBufferSize = 512,
      .irDriveRegs = {.bFeaturesReg = 0,
                      .bSectorCountReg = 1,
                      .bSectorNumberReg = 1,
                      .bCylLowReg = 0,
                      .bCylHighReg = 0,
                      .bDriveHeadReg = static_cast<std::uint8_t>(0xA0 | ((drive_number & 1) << 4)),
                      .bCommandReg = kIdentifyDevice,
                      .bReserved = 0},
      .bDriveNumber = drive_number,
      .bReserved = {},
      .dwReserved = {},
      .bBuffer = {},
  };
}

constexpr WorkBuffer smart_request(std::uint8_t drive_number) {
  return std::bit_cast<WorkBuffer>(
      SmartRequestLayout{.request = identify_command(drive_number), .rest = {}});
}

constexpr WorkBuffer miniport_request(std::uint8_t drive_number) {
  return std::bit_cast<WorkBuffer>(MiniportRequestLayout{
      .header = {.HeaderLength = sizeof(SRB_IO_CONTROL),
                 .Signature = {'S', 'C', 'S', 'I', 'D', 'I', 'S', 'K'},
                 .Timeout = 2,
                 .ControlCode = kMiniportIdentify,
                 .ReturnCode = 0,
                 .Length = kWorkBufferSize - sizeof(SRB_IO_CONTROL)},
      .request = identify_command(drive_number),
      .rest = {},
  });
}

}  // namespace korvex
