// The module's lock: exports called from several threads at once run one at
// a time, and the one box the module shows keeps no other thread waiting.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "identify_fixtures.h"
#include "loaded_module.h"
#include "module/exports.h"
#include "platform/platform_wrapper.h"

namespace korvex::tests {
namespace {

using namespace std::chrono_literals;

// Texts too long for a string's own buffer, so that two threads replacing one
// at the same time would free the same memory twice.
const std::string kLongLabel = "a volume label longer than any short string";
const std::string kLongMessage = "The system cannot find the file specified, at some length.";

// Two threads push, query and read for a bounded time, each as a host thread
// would; their answers mix (keeping a sequence together stays the host's
// task), but the module's memory must stay whole and the module must answer
// as before afterwards. Without the lock this corrupts the heap at once
// (AddressSanitizer reports a double free).
TEST(ModuleLock, TwoThreadsCallingExportsAtOnceLeaveTheModuleWhole) {
  SimulatedMachine machine;
  machine.drives['C'] = {.label = kLongLabel, .total = 1000000, .free = 250000};
  machine.drives['D'] = {.label = "DATA", .total = 5000000};
  machine.devices["\\\\.\\Scsi0:"] =
      answering(sector_with_serial("A SERIAL NUMBER OF SOME LENGTH"));
  machine.messages[2] = kLongMessage;
  machine.last_error = 2;
  LoadedModule module(machine);

  const auto until = std::chrono::steady_clock::now() + 500ms;
  const auto host_thread = [until](std::int32_t drive) {
    const std::string pushed = "a pushed text too long for the short buffer, drive " +
                               std::to_string(drive);
    while (std::chrono::steady_clock::now() < until) {
      SetFile(pushed.c_str());
      SetPath(pushed.c_str());
      RenameEvent();
      ListDrives();
      SetData(drive);
      SelectDrive();
      for (int i = 0; i < 4; ++i) {
        GetVolumeLabel();
        GetErrorMessage();
        GetFile();
      }
      GetTotalSpace();
      SetData(0);
      GetHddInfo();
      GetHddModelNumber();
      GetData();
    }
  };
  std::thread other(host_thread, 1);
  host_thread(0);
  other.join();

  ListDrives();
  EXPECT_EQ(GetData(), 2);
  SetData(0);
  SelectDrive();
  GetVolumeLabel();
  EXPECT_EQ(GetFile(), kLongLabel);
  GetUsedPercent();
  EXPECT_STREQ(GetFile(), "75");
}

// The praise's box blocks until the user closes it; another thread's export
// must get through meanwhile. A lock kept during the box would hold the other
// thread for as long as the box stays up.
class PraiseThatWaitsForAnotherThread final : public PlatformWrapper {
 public:
  using PlatformWrapper::PlatformWrapper;
  std::thread other;
  bool other_got_through = false;

  void message_box(const char*, const char*, std::uint32_t) override {
    other = std::thread([this] {
      SetData(42);
      pushed_.set_value();
    });
    // A generous deadline: the other thread gets through at once, unless the
    // lock is kept, and a slow machine must not make that look like a fault.
    other_got_through = pushed_.get_future().wait_for(30s) == std::future_status::ready;
  }

 private:
  std::promise<void> pushed_;
};

TEST(ModuleLock, ThePraiseIsShownWithoutTheLock) {
  SimulatedMachine machine;
  PraiseThatWaitsForAnotherThread praise(machine);
  LoadedModule module(praise);
  SetFile("Quex");
  praise.other.join();
  EXPECT_TRUE(praise.other_got_through);
  EXPECT_EQ(module->exchange.data_slot(0), 42);
  EXPECT_EQ(module->exchange.text_slot(0), "Quex");
}

}  // namespace
}  // namespace korvex::tests
