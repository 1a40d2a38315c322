#include "identify/device_handle.h"

#include <gtest/gtest.h>

#include "identify_fixtures.h"
#include "observing_platform.h"

namespace korvex::tests {
namespace {

TEST(UniqueDeviceHandle, ClosesWhatItOwnsOnceAndNeverTheInvalidHandle) {
  SimulatedMachine machine;
  machine.devices["a"] = answering({});
  machine.devices["b"] = answering({});
  ObservingPlatform recorder(machine);
  {
    UniqueDeviceHandle invalid(recorder, kInvalidDeviceHandle);
    EXPECT_FALSE(invalid);
    UniqueDeviceHandle a(recorder, recorder.create_file("a", 0, 0, 3));
    UniqueDeviceHandle b(recorder, recorder.create_file("b", 0, 0, 3));
    ASSERT_TRUE(a && b);
    a = std::move(b);
    EXPECT_TRUE(recorder.device_opens[0].closed) << "move-assignment closes the old handle";
    EXPECT_FALSE(recorder.device_opens[1].closed);
    EXPECT_FALSE(b);
    UniqueDeviceHandle c(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(machine.open_device_count(), 1);
  }
  EXPECT_EQ(machine.open_device_count(), 0);
  EXPECT_EQ(machine.last_error, 0u) << "no close of a handle already closed or invalid";
}

}  // namespace
}  // namespace korvex::tests
