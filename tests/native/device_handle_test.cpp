#include "identify/device_handle.h"

#include <gtest/gtest.h>

#include "identify_fixtures.h"

namespace korvex::testing {
namespace {

TEST(UniqueDeviceHandle, ClosesWhatItOwnsOnceAndNeverTheInvalidHandle) {
  SimulatedMachine machine;
  machine.devices["a"] = answering({});
  machine.devices["b"] = answering({});
  {
    UniqueDeviceHandle invalid(machine, kInvalidDeviceHandle);
    EXPECT_FALSE(invalid);
    UniqueDeviceHandle a(machine, machine.create_file("a", 0, 0, 3));
    UniqueDeviceHandle b(machine, machine.create_file("b", 0, 0, 3));
    ASSERT_TRUE(a && b);
    a = std::move(b);
    EXPECT_TRUE(machine.device_opens[0].closed) << "move-assignment closes the old handle";
    EXPECT_FALSE(machine.device_opens[1].closed);
    EXPECT_FALSE(b);
    UniqueDeviceHandle c(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(machine.open_device_count(), 1);
  }
  EXPECT_EQ(machine.open_device_count(), 0);
  EXPECT_EQ(machine.last_error, 0u) << "no close of a handle already closed or invalid";
}

}  // namespace
}  // namespace korvex::testing
