// The IDENTIFY DEVICE request and answer as the identify query lays them out,
// byte for byte: in its 572-byte work buffer for the SMART driver and the
// SCSI miniport, in the buffer of the ATA pass-through, and wrapped in a SCSI
// command for the SCSI pass-through.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/disk_control.h"

namespace korvex {

inline constexpr std::size_t kWorkBufferSize = 572;
using WorkBuffer = std::array<std::uint8_t, kWorkBufferSize>;

#pragma pack(push, 1)

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
                 .ControlCode = win32::kScsiMiniportIdentify,
                 .ReturnCode = 0,
                 .Length = kWorkBufferSize - sizeof(SRB_IO_CONTROL)},
      .request = identify_command(drive_number),
      .rest = {},
  });
}

// ATA pass-through: the header, then the 512 bytes of data it carries, in one
// buffer sent and received.
struct AtaIdentifyBuffer {
  ATA_PASS_THROUGH_EX header;
  std::uint8_t sector[512];
};
static_assert(offsetof(AtaIdentifyBuffer, sector) == sizeof(ATA_PASS_THROUGH_EX));
static_assert(sizeof(AtaIdentifyBuffer) == sizeof(ATA_PASS_THROUGH_EX) + 512);

// IDENTIFY DEVICE to the disk the handle names. Every byte is zeroed first,
// so that the padding a 64-bit header has goes out as zeros too.
inline void prepare_ata_identify(AtaIdentifyBuffer& buffer) {
  std::memset(&buffer, 0, sizeof buffer);
  ATA_PASS_THROUGH_EX& header = buffer.header;
  header.Length = sizeof(ATA_PASS_THROUGH_EX);
  header.AtaFlags = win32::kAtaFlagsDrdyRequired | win32::kAtaFlagsDataIn;
  header.DataTransferLength = sizeof buffer.sector;
  header.TimeOutValue = 2;
  header.DataBufferOffset = offsetof(AtaIdentifyBuffer, sector);
  header.CurrentTaskFile = identify_command(0).irDriveRegs;
}

// The status register comes back where the command went; bit 0 is ERR.
inline constexpr std::uint8_t kAtaStatusError = 0x01;

// SCSI pass-through: the header, the sense area and the 512 bytes of data in
// one buffer sent and received, each area where the header says.
struct ScsiIdentifyBuffer {
  SCSI_PASS_THROUGH header;
  std::uint8_t sense[32];
  std::uint8_t sector[512];
};
static_assert(offsetof(ScsiIdentifyBuffer, sense) == sizeof(SCSI_PASS_THROUGH));
static_assert(offsetof(ScsiIdentifyBuffer, sector) == sizeof(SCSI_PASS_THROUGH) + 32);
static_assert(sizeof(ScsiIdentifyBuffer) == sizeof(SCSI_PASS_THROUGH) + 32 + 512);

// IDENTIFY DEVICE in the SCSI ATA PASS-THROUGH commands of the SCSI-to-ATA
// translation: protocol PIO data-in (4 << 1), the transfer length in the
// sector count, in blocks, from the device (0x0E), one sector. USB bridges
// that know only the 12-byte form refuse the 16-byte one.
using ScsiCommandBlock = std::array<std::uint8_t, 16>;
inline constexpr ScsiCommandBlock kAtaPassThrough16Identify = {
    0x85, 0x08, 0x0E, 0x00, 0x00, 0x00, 0x01, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, kIdentifyDevice, 0x00};
inline constexpr std::uint8_t kAtaPassThrough16Length = 16;
inline constexpr ScsiCommandBlock kAtaPassThrough12Identify = {
    0xA1, 0x08, 0x0E, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, kIdentifyDevice, 0x00, 0x00};
inline constexpr std::uint8_t kAtaPassThrough12Length = 12;

// One command block, data in, to the disk the handle names. Every byte is
// zeroed first, the padding of a 64-bit header included.
inline void prepare_scsi_identify(ScsiIdentifyBuffer& buffer, const ScsiCommandBlock& block,
                                  std::uint8_t block_length) {
  std::memset(&buffer, 0, sizeof buffer);
  SCSI_PASS_THROUGH& header = buffer.header;
  header.Length = sizeof(SCSI_PASS_THROUGH);
  header.CdbLength = block_length;
  header.SenseInfoLength = sizeof buffer.sense;
  header.DataIn = win32::kScsiIoctlDataIn;
  header.DataTransferLength = sizeof buffer.sector;
  header.TimeOutValue = 2;
  header.DataBufferOffset = offsetof(ScsiIdentifyBuffer, sector);
  header.SenseInfoOffset = offsetof(ScsiIdentifyBuffer, sense);
  std::memcpy(header.Cdb, block.data(), block.size());
}

}  // namespace korvex
