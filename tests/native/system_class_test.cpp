#include "identify/system_class.h"

#include <gtest/gtest.h>

#include "observing_platform.h"
#include "platform/sim/simulated_machine.h"

namespace korvex {
namespace {

TEST(SystemClass, FollowsTheVersionTableAtEveryBoundary) {
  struct Case {
    const char* name;
    std::uint32_t version;  // GetVersion: major, minor, build, platform bit 31
    std::uint8_t expected;
  };
  const Case cases[] = {
      {"9x 3.10", 0x80000A03, 0},
      {"9x 3.255", 0x8000FF03, 0},
      {"9x 4.0", 0xC0000004, 1},
      {"9x 4.9", 0x80000904, 1},
      {"9x 4.10", 0xC0000A04, 2},
      {"9x 4.89", 0x80005904, 2},
      {"9x 4.90", 0xC0005A04, 3},
      {"9x 5.0", 0x80000005, 3},
      {"NT 3.51", 0x00003303, 4},
      {"NT 4.0", 0x05650004, 4},
      {"NT 4.90", 0x00005A04, 4},
      {"NT 5.0", 0x08930005, 5},
      {"NT 5.1", 0x0A280105, 6},
      {"NT 5.2", 0x0ECE0205, 7},
      {"NT 5.255", 0x0000FF05, 7},
      {"NT 6.0", 0x17720006, 8},
      {"NT 6.1", 0x1DB10106, 6},
      {"NT 6.2", 0x23F00206, 8},
      {"NT 10.0", 0x0000000A, 8},
      {"NT 10.1", 0x0000010A, 6},
      {"build number ignored", 0x7FFF0206, 8},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(system_class_of(c.version), c.expected) << c.name;
    EXPECT_EQ(takes_smart_path(c.expected), (c.version & 0x80000000u) != 0) << c.name;
  }
}

TEST(SystemClass, ReadsTheVersionOnceAndKeepsTheClass) {
  SimulatedMachine machine;
  machine.version = 0xC0005A04;
  ObservingPlatform recorder(machine);
  SystemClass system_class(recorder);
  EXPECT_EQ(recorder.uses(PlatformCall::kGetVersion), 0);
  EXPECT_EQ(system_class.get(), 3);
  machine.version = 0x0A280105;
  EXPECT_EQ(system_class.get(), 3);
  EXPECT_EQ(system_class.version_number(), 0x045A) << "from the same reading";
  EXPECT_EQ(recorder.uses(PlatformCall::kGetVersion), 1);
}

TEST(SystemClass, GivesTheVersionNumberTheClassDoesNotTell) {
  SimulatedMachine machine;
  for (const auto& [version, number] : {std::pair{0x0A280105u, 0x0501}, {0x1DB10106u, 0x0601},
                                        {0x0000000Au, 0x0A00}, {0x0000FF05u, 0x05FF}}) {
    machine.version = version;
    SystemClass system_class(machine);
    EXPECT_EQ(system_class.version_number(), number) << std::hex << version;
    EXPECT_EQ(system_class.get(), system_class_of(version));
  }
}

}  // namespace
}  // namespace korvex
