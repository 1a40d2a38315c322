// The system's disk-control requests that tell who a disk is, byte for byte
// as Windows lays them out: the SMART driver's SMART_RCV_DRIVE_DATA, the SCSI
// miniport pass-through IOCTL_SCSI_MINIPORT with IOCTL_SCSI_MINIPORT_IDENTIFY,
// the ATA pass-through IOCTL_ATA_PASS_THROUGH and the SCSI pass-through
// IOCTL_SCSI_PASS_THROUGH, which carry IDENTIFY DEVICE, and the storage
// property query IOCTL_STORAGE_QUERY_PROPERTY, which gives the storage
// driver's descriptor and an NVMe disk's own identify data. All integers are
// little-endian; nothing is padded except where the system's own declaration
// follows the pointer size (ATA_PASS_THROUGH_EX, SCSI_PASS_THROUGH).
// win32/disk_control_layouts.cpp checks every layout and value here against
// the system headers in both Windows builds.
#pragma once

#include <cstddef>
#include <cstdint>

namespace korvex {

namespace win32 {
inline constexpr std::uint32_t kSmartReceiveDriveData = 0x7C088;
inline constexpr std::uint32_t kScsiMiniport = 0x4D008;
inline constexpr std::uint32_t kScsiMiniportIdentify = 0x1B0501;
inline constexpr std::uint32_t kAtaPassThrough = 0x4D02C;
inline constexpr std::uint32_t kStorageQueryProperty = 0x2D1400;
inline constexpr std::uint32_t kScsiPassThrough = 0x4D004;

inline constexpr std::uint16_t kAtaFlagsDrdyRequired = 1;
inline constexpr std::uint16_t kAtaFlagsDataIn = 2;
inline constexpr std::uint8_t kScsiIoctlDataIn = 1;
inline constexpr std::uint32_t kStorageDeviceProperty = 0;
inline constexpr std::uint32_t kStorageAdapterProtocolSpecificProperty = 49;
inline constexpr std::uint32_t kStorageDeviceProtocolSpecificProperty = 50;
inline constexpr std::uint32_t kPropertyStandardQuery = 0;
inline constexpr std::uint32_t kProtocolTypeNvme = 3;
inline constexpr std::uint32_t kNvmeDataTypeIdentify = 1;
// STORAGE_BUS_TYPE values the descriptor's BusType may hold.
inline constexpr std::uint32_t kBusTypeAta = 3;
inline constexpr std::uint32_t kBusTypeSata = 11;
inline constexpr std::uint32_t kBusTypeNvme = 17;
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

struct STORAGE_PROPERTY_QUERY {
  std::uint32_t PropertyId;
  std::uint32_t QueryType;
  std::uint8_t AdditionalParameters[1];
  std::uint8_t padding[3];  // Windows' declaration is aligned: its size is 12
};

// Each text offset counts from the descriptor's start to a NUL-terminated
// text; 0 means the device has no such text.
struct STORAGE_DEVICE_DESCRIPTOR {
  std::uint32_t Version;  // the size of the descriptor as declared: 40
  std::uint32_t Size;     // the whole answer, texts included
  std::uint8_t DeviceType;
  std::uint8_t DeviceTypeModifier;
  std::uint8_t RemovableMedia;
  std::uint8_t CommandQueueing;
  std::uint32_t VendorIdOffset;
  std::uint32_t ProductIdOffset;
  std::uint32_t ProductRevisionOffset;
  std::uint32_t SerialNumberOffset;
  std::uint32_t BusType;
  std::uint32_t RawPropertiesLength;
  std::uint8_t RawDeviceProperties[1];
  std::uint8_t padding[3];  // Windows' declaration is aligned: its size is 40
};

// What a protocol-specific property query asks for, in the query's
// AdditionalParameters, and what its answer describes. The offset counts from
// this structure's own start.
struct STORAGE_PROTOCOL_SPECIFIC_DATA {
  std::uint32_t ProtocolType;
  std::uint32_t DataType;
  std::uint32_t ProtocolDataRequestValue;
  std::uint32_t ProtocolDataRequestSubValue;
  std::uint32_t ProtocolDataOffset;
  std::uint32_t ProtocolDataLength;
  std::uint32_t FixedProtocolReturnData;
  std::uint32_t ProtocolDataRequestSubValue2;
  std::uint32_t ProtocolDataRequestSubValue3;
  std::uint32_t ProtocolDataRequestSubValue4;
};

struct STORAGE_PROTOCOL_DATA_DESCRIPTOR {
  std::uint32_t Version;  // the size of this descriptor: 48
  std::uint32_t Size;
  STORAGE_PROTOCOL_SPECIFIC_DATA ProtocolSpecificData;
};

#pragma pack(pop)

// Declared with natural alignment, as Windows declares it: DataBufferOffset
// is a ULONG_PTR, so a 64-bit build puts four bytes of padding before it and
// the whole header grows from 40 to 48 bytes. The task files hold the ATA
// registers in IDEREGS order (features, sector count, sector number, cylinder
// low, cylinder high, device/head, command, reserved).
struct ATA_PASS_THROUGH_EX {
  std::uint16_t Length;  // the size of this header
  std::uint16_t AtaFlags;
  std::uint8_t PathId;
  std::uint8_t TargetId;
  std::uint8_t Lun;
  std::uint8_t ReservedAsUchar;
  std::uint32_t DataTransferLength;
  std::uint32_t TimeOutValue;  // seconds
  std::uint32_t ReservedAsUlong;
  std::uintptr_t DataBufferOffset;  // from the header's start to the data
  IDEREGS PreviousTaskFile;
  IDEREGS CurrentTaskFile;
};

// Declared with natural alignment, as Windows declares it: DataBufferOffset
// is a ULONG_PTR, so a 64-bit build puts four bytes of padding before it and
// the whole header grows from 44 to 56 bytes. The sense and data areas lie
// behind the header, at the offsets it names.
struct SCSI_PASS_THROUGH {
  std::uint16_t Length;  // the size of this header
  std::uint8_t ScsiStatus;
  std::uint8_t PathId;
  std::uint8_t TargetId;
  std::uint8_t Lun;
  std::uint8_t CdbLength;
  std::uint8_t SenseInfoLength;
  std::uint8_t DataIn;
  std::uint32_t DataTransferLength;  // asked for; on return, the bytes moved
  std::uint32_t TimeOutValue;        // seconds
  std::uintptr_t DataBufferOffset;   // from the header's start to the data
  std::uint32_t SenseInfoOffset;
  std::uint8_t Cdb[16];
};

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

static_assert(sizeof(STORAGE_PROPERTY_QUERY) == 12);
static_assert(offsetof(STORAGE_PROPERTY_QUERY, PropertyId) == 0);
static_assert(offsetof(STORAGE_PROPERTY_QUERY, QueryType) == 4);
static_assert(offsetof(STORAGE_PROPERTY_QUERY, AdditionalParameters) == 8);

static_assert(sizeof(STORAGE_DEVICE_DESCRIPTOR) == 40);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, Version) == 0);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, Size) == 4);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, DeviceType) == 8);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, DeviceTypeModifier) == 9);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, RemovableMedia) == 10);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, CommandQueueing) == 11);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, VendorIdOffset) == 12);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset) == 16);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, ProductRevisionOffset) == 20);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset) == 24);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, BusType) == 28);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, RawPropertiesLength) == 32);
static_assert(offsetof(STORAGE_DEVICE_DESCRIPTOR, RawDeviceProperties) == 36);

static_assert(sizeof(STORAGE_PROTOCOL_SPECIFIC_DATA) == 40);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolType) == 0);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, DataType) == 4);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestValue) == 8);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestSubValue) == 12);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataOffset) == 16);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataLength) == 20);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, FixedProtocolReturnData) == 24);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestSubValue2) == 28);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestSubValue3) == 32);
static_assert(offsetof(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestSubValue4) == 36);

static_assert(sizeof(STORAGE_PROTOCOL_DATA_DESCRIPTOR) == 48);
static_assert(offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, Version) == 0);
static_assert(offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, Size) == 4);
static_assert(offsetof(STORAGE_PROTOCOL_DATA_DESCRIPTOR, ProtocolSpecificData) == 8);

// ATA_PASS_THROUGH_EX in the two builds Windows has.
struct AtaPassThroughLayout {
  std::size_t data_buffer_offset;
  std::size_t previous_task_file;
  std::size_t current_task_file;
  std::size_t size;
};
static_assert(sizeof(void*) == 4 || sizeof(void*) == 8);
inline constexpr AtaPassThroughLayout kAtaPassThroughLayout =
    sizeof(void*) == 4 ? AtaPassThroughLayout{20, 24, 32, 40}
                       : AtaPassThroughLayout{24, 32, 40, 48};
static_assert(offsetof(ATA_PASS_THROUGH_EX, Length) == 0);
static_assert(offsetof(ATA_PASS_THROUGH_EX, AtaFlags) == 2);
static_assert(offsetof(ATA_PASS_THROUGH_EX, PathId) == 4);
static_assert(offsetof(ATA_PASS_THROUGH_EX, TargetId) == 5);
static_assert(offsetof(ATA_PASS_THROUGH_EX, Lun) == 6);
static_assert(offsetof(ATA_PASS_THROUGH_EX, ReservedAsUchar) == 7);
static_assert(offsetof(ATA_PASS_THROUGH_EX, DataTransferLength) == 8);
static_assert(offsetof(ATA_PASS_THROUGH_EX, TimeOutValue) == 12);
static_assert(offsetof(ATA_PASS_THROUGH_EX, ReservedAsUlong) == 16);
static_assert(offsetof(ATA_PASS_THROUGH_EX, DataBufferOffset) ==
              kAtaPassThroughLayout.data_buffer_offset);
static_assert(offsetof(ATA_PASS_THROUGH_EX, PreviousTaskFile) ==
              kAtaPassThroughLayout.previous_task_file);
static_assert(offsetof(ATA_PASS_THROUGH_EX, CurrentTaskFile) ==
              kAtaPassThroughLayout.current_task_file);
static_assert(sizeof(ATA_PASS_THROUGH_EX) == kAtaPassThroughLayout.size);

// SCSI_PASS_THROUGH in the two builds.
struct ScsiPassThroughLayout {
  std::size_t data_buffer_offset;
  std::size_t sense_info_offset;
  std::size_t cdb;
  std::size_t size;
};
inline constexpr ScsiPassThroughLayout kScsiPassThroughLayout =
    sizeof(void*) == 4 ? ScsiPassThroughLayout{20, 24, 28, 44}
                       : ScsiPassThroughLayout{24, 32, 36, 56};
static_assert(offsetof(SCSI_PASS_THROUGH, Length) == 0);
static_assert(offsetof(SCSI_PASS_THROUGH, ScsiStatus) == 2);
static_assert(offsetof(SCSI_PASS_THROUGH, PathId) == 3);
static_assert(offsetof(SCSI_PASS_THROUGH, TargetId) == 4);
static_assert(offsetof(SCSI_PASS_THROUGH, Lun) == 5);
static_assert(offsetof(SCSI_PASS_THROUGH, CdbLength) == 6);
static_assert(offsetof(SCSI_PASS_THROUGH, SenseInfoLength) == 7);
static_assert(offsetof(SCSI_PASS_THROUGH, DataIn) == 8);
static_assert(offsetof(SCSI_PASS_THROUGH, DataTransferLength) == 12);
static_assert(offsetof(SCSI_PASS_THROUGH, TimeOutValue) == 16);
static_assert(offsetof(SCSI_PASS_THROUGH, DataBufferOffset) ==
              kScsiPassThroughLayout.data_buffer_offset);
static_assert(offsetof(SCSI_PASS_THROUGH, SenseInfoOffset) ==
              kScsiPassThroughLayout.sense_info_offset);
static_assert(offsetof(SCSI_PASS_THROUGH, Cdb) == kScsiPassThroughLayout.cdb);
static_assert(sizeof(SCSI_PASS_THROUGH) == kScsiPassThroughLayout.size);

}  // namespace korvex
