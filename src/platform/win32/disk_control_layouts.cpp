// The disk-control layouts of platform/disk_control.h, which the module's
// logic and the simulated machine share without the system headers, checked
// here against mingw-w64's own declarations: each Windows build (32-bit and
// 64-bit) compiles this file, so a size or offset that differs from the
// system's in either fails that build. Nothing here is linked into the DLL.
#include <windows.h>
#include <winioctl.h>
#include <ntddscsi.h>

#include <cstddef>

#include "platform/disk_control.h"

namespace korvex {
namespace {

#define KORVEX_SAME_FIELD(type, field) \
  static_assert(offsetof(korvex::type, field) == offsetof(::type, field), #type "." #field)
#define KORVEX_SAME_SIZE(type) static_assert(sizeof(korvex::type) == sizeof(::type), #type)

static_assert(win32::kSmartReceiveDriveData == SMART_RCV_DRIVE_DATA);
static_assert(win32::kScsiMiniport == IOCTL_SCSI_MINIPORT);
static_assert(win32::kAtaPassThrough == IOCTL_ATA_PASS_THROUGH);
static_assert(win32::kScsiPassThrough == IOCTL_SCSI_PASS_THROUGH);
static_assert(win32::kStorageQueryProperty == IOCTL_STORAGE_QUERY_PROPERTY);
static_assert(win32::kAtaFlagsDrdyRequired == ATA_FLAGS_DRDY_REQUIRED);
static_assert(win32::kAtaFlagsDataIn == ATA_FLAGS_DATA_IN);
static_assert(win32::kScsiIoctlDataIn == SCSI_IOCTL_DATA_IN);
static_assert(win32::kStorageDeviceProperty == StorageDeviceProperty);
static_assert(win32::kStorageAdapterProtocolSpecificProperty ==
              StorageAdapterProtocolSpecificProperty);
static_assert(win32::kStorageDeviceProtocolSpecificProperty ==
              StorageDeviceProtocolSpecificProperty);
static_assert(win32::kPropertyStandardQuery == PropertyStandardQuery);
static_assert(win32::kProtocolTypeNvme == ProtocolTypeNvme);
static_assert(win32::kNvmeDataTypeIdentify == NVMeDataTypeIdentify);
static_assert(win32::kBusTypeAta == BusTypeAta);
static_assert(win32::kBusTypeSata == BusTypeSata);
static_assert(win32::kBusTypeNvme == BusTypeNvme);

KORVEX_SAME_SIZE(IDEREGS);
KORVEX_SAME_FIELD(IDEREGS, bFeaturesReg);
KORVEX_SAME_FIELD(IDEREGS, bSectorCountReg);
KORVEX_SAME_FIELD(IDEREGS, bSectorNumberReg);
KORVEX_SAME_FIELD(IDEREGS, bCylLowReg);
KORVEX_SAME_FIELD(IDEREGS, bCylHighReg);
KORVEX_SAME_FIELD(IDEREGS, bDriveHeadReg);
KORVEX_SAME_FIELD(IDEREGS, bCommandReg);
KORVEX_SAME_FIELD(IDEREGS, bReserved);

KORVEX_SAME_SIZE(SENDCMDINPARAMS);
KORVEX_SAME_FIELD(SENDCMDINPARAMS, cBufferSize);
KORVEX_SAME_FIELD(SENDCMDINPARAMS, irDriveRegs);
KORVEX_SAME_FIELD(SENDCMDINPARAMS, bDriveNumber);
KORVEX_SAME_FIELD(SENDCMDINPARAMS, bReserved);
KORVEX_SAME_FIELD(SENDCMDINPARAMS, dwReserved);
KORVEX_SAME_FIELD(SENDCMDINPARAMS, bBuffer);

KORVEX_SAME_SIZE(DRIVERSTATUS);
KORVEX_SAME_FIELD(DRIVERSTATUS, bDriverError);
KORVEX_SAME_FIELD(DRIVERSTATUS, bIDEError);
KORVEX_SAME_FIELD(DRIVERSTATUS, bReserved);
KORVEX_SAME_FIELD(DRIVERSTATUS, dwReserved);

// The system declares bBuffer with one byte; the module's has the sector's 512.
static_assert(sizeof(korvex::SENDCMDOUTPARAMS) == offsetof(::SENDCMDOUTPARAMS, bBuffer) + 512);
KORVEX_SAME_FIELD(SENDCMDOUTPARAMS, cBufferSize);
KORVEX_SAME_FIELD(SENDCMDOUTPARAMS, DriverStatus);
KORVEX_SAME_FIELD(SENDCMDOUTPARAMS, bBuffer);

KORVEX_SAME_SIZE(SRB_IO_CONTROL);
KORVEX_SAME_FIELD(SRB_IO_CONTROL, HeaderLength);
KORVEX_SAME_FIELD(SRB_IO_CONTROL, Signature);
KORVEX_SAME_FIELD(SRB_IO_CONTROL, Timeout);
KORVEX_SAME_FIELD(SRB_IO_CONTROL, ControlCode);
KORVEX_SAME_FIELD(SRB_IO_CONTROL, ReturnCode);
KORVEX_SAME_FIELD(SRB_IO_CONTROL, Length);

KORVEX_SAME_SIZE(ATA_PASS_THROUGH_EX);
KORVEX_SAME_FIELD(ATA_PASS_THROUGH_EX, Length);
KORVEX_SAME_FIELD(ATA_PASS_THROUGH_EX, AtaFlags);
KORVEX_SAME_FIELD(ATA_PASS_THROUGH_EX, PathId);
KORVEX_SAME_FIELD(ATA_PASS_THROUGH_EX, TargetId);
KORVEX_SAME_FIELD(ATA_PASS_THROUGH_EX, Lun);
KORVEX_SAME_FIELD(ATA_PASS_THROUGH_EX, ReservedAsUchar);
KORVEX_SAME_FIELD(ATA_PASS_THROUGH_EX, DataTransferLength);
KORVEX_SAME_FIELD(ATA_PASS_THROUGH_EX, TimeOutValue);
KORVEX_SAME_FIELD(ATA_PASS_THROUGH_EX, ReservedAsUlong);
KORVEX_SAME_FIELD(ATA_PASS_THROUGH_EX, DataBufferOffset);
KORVEX_SAME_FIELD(ATA_PASS_THROUGH_EX, PreviousTaskFile);
KORVEX_SAME_FIELD(ATA_PASS_THROUGH_EX, CurrentTaskFile);

KORVEX_SAME_SIZE(SCSI_PASS_THROUGH);
KORVEX_SAME_FIELD(SCSI_PASS_THROUGH, Length);
KORVEX_SAME_FIELD(SCSI_PASS_THROUGH, ScsiStatus);
KORVEX_SAME_FIELD(SCSI_PASS_THROUGH, PathId);
KORVEX_SAME_FIELD(SCSI_PASS_THROUGH, TargetId);
KORVEX_SAME_FIELD(SCSI_PASS_THROUGH, Lun);
KORVEX_SAME_FIELD(SCSI_PASS_THROUGH, CdbLength);
KORVEX_SAME_FIELD(SCSI_PASS_THROUGH, SenseInfoLength);
KORVEX_SAME_FIELD(SCSI_PASS_THROUGH, DataIn);
KORVEX_SAME_FIELD(SCSI_PASS_THROUGH, DataTransferLength);
KORVEX_SAME_FIELD(SCSI_PASS_THROUGH, TimeOutValue);
KORVEX_SAME_FIELD(SCSI_PASS_THROUGH, DataBufferOffset);
KORVEX_SAME_FIELD(SCSI_PASS_THROUGH, SenseInfoOffset);
KORVEX_SAME_FIELD(SCSI_PASS_THROUGH, Cdb);

KORVEX_SAME_SIZE(STORAGE_PROPERTY_QUERY);
KORVEX_SAME_FIELD(STORAGE_PROPERTY_QUERY, PropertyId);
KORVEX_SAME_FIELD(STORAGE_PROPERTY_QUERY, QueryType);
KORVEX_SAME_FIELD(STORAGE_PROPERTY_QUERY, AdditionalParameters);

KORVEX_SAME_SIZE(STORAGE_DEVICE_DESCRIPTOR);
KORVEX_SAME_FIELD(STORAGE_DEVICE_DESCRIPTOR, Version);
KORVEX_SAME_FIELD(STORAGE_DEVICE_DESCRIPTOR, Size);
KORVEX_SAME_FIELD(STORAGE_DEVICE_DESCRIPTOR, DeviceType);
KORVEX_SAME_FIELD(STORAGE_DEVICE_DESCRIPTOR, DeviceTypeModifier);
KORVEX_SAME_FIELD(STORAGE_DEVICE_DESCRIPTOR, RemovableMedia);
KORVEX_SAME_FIELD(STORAGE_DEVICE_DESCRIPTOR, CommandQueueing);
KORVEX_SAME_FIELD(STORAGE_DEVICE_DESCRIPTOR, VendorIdOffset);
KORVEX_SAME_FIELD(STORAGE_DEVICE_DESCRIPTOR, ProductIdOffset);
KORVEX_SAME_FIELD(STORAGE_DEVICE_DESCRIPTOR, ProductRevisionOffset);
KORVEX_SAME_FIELD(STORAGE_DEVICE_DESCRIPTOR, SerialNumberOffset);
KORVEX_SAME_FIELD(STORAGE_DEVICE_DESCRIPTOR, BusType);
KORVEX_SAME_FIELD(STORAGE_DEVICE_DESCRIPTOR, RawPropertiesLength);
KORVEX_SAME_FIELD(STORAGE_DEVICE_DESCRIPTOR, RawDeviceProperties);

KORVEX_SAME_SIZE(STORAGE_PROTOCOL_SPECIFIC_DATA);
KORVEX_SAME_FIELD(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolType);
KORVEX_SAME_FIELD(STORAGE_PROTOCOL_SPECIFIC_DATA, DataType);
KORVEX_SAME_FIELD(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestValue);
KORVEX_SAME_FIELD(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestSubValue);
KORVEX_SAME_FIELD(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataOffset);
KORVEX_SAME_FIELD(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataLength);
KORVEX_SAME_FIELD(STORAGE_PROTOCOL_SPECIFIC_DATA, FixedProtocolReturnData);
KORVEX_SAME_FIELD(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestSubValue2);
KORVEX_SAME_FIELD(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestSubValue3);
KORVEX_SAME_FIELD(STORAGE_PROTOCOL_SPECIFIC_DATA, ProtocolDataRequestSubValue4);

KORVEX_SAME_SIZE(STORAGE_PROTOCOL_DATA_DESCRIPTOR);
KORVEX_SAME_FIELD(STORAGE_PROTOCOL_DATA_DESCRIPTOR, Version);
KORVEX_SAME_FIELD(STORAGE_PROTOCOL_DATA_DESCRIPTOR, Size);
KORVEX_SAME_FIELD(STORAGE_PROTOCOL_DATA_DESCRIPTOR, ProtocolSpecificData);

#undef KORVEX_SAME_FIELD
#undef KORVEX_SAME_SIZE

}  // namespace
}  // namespace korvex
