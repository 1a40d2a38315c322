#include "platform/tracing_platform.h"

#include <gtest/gtest.h>

#include <sstream>

#include "platform/disk_control.h"
#include "platform/sim/simulated_machine.h"

namespace korvex {
namespace {

TEST(TracingPlatform, WritesEachCallWithItsArgumentsResultAndLastError) {
  SimulatedMachine machine;
  machine.drives['C'].label = "SYS";
  std::ostringstream out;
  TracingPlatform tracing(machine, out);

  EXPECT_EQ(tracing.get_drive_type("C:\\"), 3u);
  EXPECT_EQ(tracing.create_file("\\\\.\\Scsi0:", win32::kGenericReadWrite, 3, 3),
            kInvalidDeviceHandle);
  const std::uint8_t request[] = {0x1c, 0x00, 0xab};
  std::uint8_t answer[4] = {};
  EXPECT_FALSE(tracing.device_io_control(0x99, win32::kScsiMiniport, request, sizeof request,
                                         answer, sizeof answer, nullptr));

  EXPECT_EQ(out.str(),
            "trace: GetDriveTypeA(\"C:\\\\\") -> 3, last error 0\n"
            "trace: CreateFileA(\"\\\\\\\\.\\\\Scsi0:\", 0xc0000000, 3, 3) -> INVALID_HANDLE_VALUE, "
            "last error 2\n"
            "trace: DeviceIoControl(0x99, 0x4d008, 1c00ab, 4) -> 0, last error 6\n");
  EXPECT_EQ(machine.last_error, 6u) << "tracing must not change the last error";
}

}  // namespace
}  // namespace korvex
