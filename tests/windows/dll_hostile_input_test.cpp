// Hostile input through the real DLL, as a careless or malicious host would
// give it: texts of every size and byte, integers at and beyond every limit,
// handles that are no window of the host's. No call may crash or hang; each
// gives the module's usual answer (or leaves the cells as they were), and the
// module still answers correctly afterwards. The host's subclass orders over
// the window hook are in dll_window_hook_test.cpp.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "korvex_dll.h"
#include "thread.h"
#include "recording_window.h"
#include "wine.h"

namespace korvex::tests {
namespace {

constexpr UINT kProbe = WM_USER + 1;

std::uintptr_t handle_of(HWND window) { return reinterpret_cast<std::uintptr_t>(window); }

// What any module must still do after the hostile calls: list drive C:,
// select and name it, and turn an error code into its text.
void expect_still_answering(const KorvexDll& dll) {
  SCOPED_TRACE("still answering");
  EXPECT_GE(dll.number_answer("ListDrives"), 1);
  dll.set_data(0);
  dll.call("SelectDrive");
  EXPECT_EQ(dll.text_answer("GetDriveLetter"), "C");
  EXPECT_EQ(dll.text_of("GetInfo").rfind("Korvex v1.0\r\n", 0), 0u);
  SetLastError(ERROR_FILE_NOT_FOUND);
  dll.call("GetErrorMessage");
  if (running_under_wine()) {
    EXPECT_EQ(dll.get_file(), "File not found.");
  }
}

// Right after load nothing has been asked: the drive getters find no drive
// selected and leave the text as it was, the disk getters answer from an
// empty identify record. Each row starts from a text result of its own, the
// system's text for an error, so that no row depends on the one before.
TEST(DllHostileInput, EveryGetterBeforeAnyQuery) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  EXPECT_EQ(dll.get_data(), 0);
  EXPECT_EQ(dll.get_file(), "");
  // The getter keeps the text result it found (a drive getter with no drive
  // selected, or a getter that answers a number in the result slot).
  constexpr const char* kKeepsTheText = nullptr;
  struct Case {
    const char* getter;
    const char* text;  // the text result afterwards
  };
  const Case cases[] = {
      {"GetDriveLetter", kKeepsTheText},
      {"GetDriveFileSystem", kKeepsTheText},
      {"GetVolumeLabel", kKeepsTheText},
      {"GetVolumeSerial", kKeepsTheText},
      {"GetDriveType", kKeepsTheText},
      {"GetTotalSpace", kKeepsTheText},
      {"GetFreeSpace", kKeepsTheText},
      {"GetUsedSpace", kKeepsTheText},
      {"GetUsedPercent", kKeepsTheText},
      {"GetFreePercent", kKeepsTheText},
      {"GetHddGenConfig", kKeepsTheText},
      {"GetHddNumCyls", kKeepsTheText},
      {"GetHddNumHeads", kKeepsTheText},
      {"GetHddBytesPerTrack", kKeepsTheText},
      {"GetHddBytesPerSector", kKeepsTheText},
      {"GetHddSectorsPerTrack", kKeepsTheText},
      {"GetHddVendorUnique", ""},
      {"GetHddPhysicalSerial", ""},
      {"GetHddBufferType", "0"},
      {"GetHddBufferSize", "0"},
      {"GetHddECCSize", "0"},
      {"GetHddFirmwareRev", ""},
      {"GetHddModelNumber", ""},
      {"GetHddMoreVendorUnique", "0"},
      {"GetHddCapabilities", "0"},
      {"GetHddPIOTiming", "0"},
      {"GetHddDMATiming", "0"},
      {"GetHddBS", "0"},
      {"GetHddNumCurrentCyls", "0"},
      {"GetHddNumCurrentHeads", "0"},
      {"GetHddNumCurrentSectorsPerTrack", "0"},
      {"GetHddCurrentSectorCapacity", "0"},
      {"GetHddMultSectorStuff", "0"},
      {"GetHddTotalAddressableSectors", "0"},
      {"GetHddSingleWordDMA", "0"},
      {"GetHddMultiWordDMA", "0"},
  };
  for (const Case& c : cases) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    const std::string before = dll.text_answer("GetErrorMessage");
    ASSERT_FALSE(before.empty()) << "the system has a text for error 2";
    dll.call(c.getter);
    EXPECT_EQ(dll.get_file(), c.text == kKeepsTheText ? before : c.text) << c.getter;
    EXPECT_EQ(dll.get_data(), 0) << c.getter;
  }
  expect_still_answering(dll);
}

// SetFile and SetPath copy what they are given and write no result cell;
// pushing the event identifier first makes RenameEvent copy the text too.
TEST(DllHostileInput, TextsOfEverySizeAndByte) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  const auto set_path = dll.find<KorvexSetPathProc>("SetPath");
  std::string every_byte;
  for (int byte = 0x01; byte <= 0xFF; ++byte) every_byte += static_cast<char>(byte);
  const std::string sixteen_mebibytes(16 << 20, 'x');
  const struct {
    const char* name;
    const char* text;
  } cases[] = {
      {"null", nullptr},
      {"empty", ""},
      {"16 MiB", sixteen_mebibytes.c_str()},
      {"bytes 0x01 to 0xFF", every_byte.c_str()},
  };
  dll.call("ListDrives");
  dll.set_data(0);
  dll.call("SelectDrive");
  const std::string letter = dll.text_answer("GetDriveLetter");
  const std::int32_t count = dll.get_data();
  for (const auto& c : cases) {
    dll.set_file(c.text);
    set_path(c.text);
    dll.set_file("ID_OnEnum");
    dll.set_file(c.text);
    dll.call("RenameEvent");
    EXPECT_EQ(dll.get_file(), letter) << c.name;
    EXPECT_EQ(dll.get_data(), count) << c.name;
  }
  expect_still_answering(dll);
}

// SetData's extremes in slot 0 before the queries that read it as an index
// or a device number: no drive has such an index, no disk such a number.
// (SetAlign, which reads slot 0 as its mode, has its own table below.)
TEST(DllHostileInput, ExtremeIntegersInSlotZero) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  dll.call("ListDrives");
  for (const std::int32_t value : {INT_MIN, -1, 1000, INT_MAX}) {
    SCOPED_TRACE(value);
    dll.set_data(0);
    dll.call("SelectDrive");
    ASSERT_EQ(dll.text_answer("GetDriveLetter"), "C");
    dll.set_data(value);
    dll.call("SelectDrive");
    EXPECT_EQ(dll.text_answer("GetDriveFileSystem"), "C") << "no drive selected";

    const auto [serial, error] = dll.hdd_info(value);
    EXPECT_EQ(serial, "");
    if (running_under_wine()) {
      EXPECT_EQ(error, ERROR_FILE_NOT_FOUND) << "no such device";
    }
    EXPECT_EQ(dll.number_answer("GetHddNumCyls"), 0);
    EXPECT_EQ(dll.text_answer("GetHddModelNumber"), "");
  }
  expect_still_answering(dll);
}

// SelectDrive selects exactly the indices of the list; an index beyond it
// leaves no drive selected.
TEST(DllHostileInput, SelectDriveAtEveryBoundary) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  const std::int32_t count = dll.number_answer("ListDrives");
  ASSERT_GE(count, 1);
  for (const std::int32_t index : {INT_MIN, -1, 0, count - 1, count, count + 1, INT_MAX}) {
    dll.call("GetHddVendorUnique");  // the empty text result
    dll.set_data(index);
    dll.call("SelectDrive");
    const std::string letter = dll.text_answer("GetDriveLetter");
    if (index >= 0 && index < count) {
      EXPECT_EQ(letter.size(), 1u) << index;
    } else {
      EXPECT_EQ(letter, "") << index << ": no drive selected";
    }
  }
  expect_still_answering(dll);
}

// SetAlign takes a mode from -1 to 3 and 0 to 5 decimal places, both or
// neither. A refused pair leaves the text of the size as it was; an accepted
// one gives the mode's unit (any, for automatic) and no more decimals than
// asked (trailing zeros are never shown).
TEST(DllHostileInput, SetAlignAtEveryBoundary) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  dll.call("ListDrives");
  dll.set_data(0);
  dll.call("SelectDrive");
  const char* const units[] = {" B ", " KB", " MB", " GB"};
  const std::int32_t modes[] = {INT_MIN, -2, -1, 0, 3, 4, INT_MAX};
  const std::int32_t places[] = {INT_MIN, -1, 0, 5, 6, INT_MAX};
  for (const std::int32_t mode : modes) {
    for (const std::int32_t decimals : places) {
      SCOPED_TRACE(::testing::Message() << "mode " << mode << ", places " << decimals);
      dll.set_align(1, 5);
      const std::string before = dll.text_answer("GetTotalSpace");
      dll.set_align(mode, decimals);
      const std::string text = dll.text_answer("GetTotalSpace");
      if (mode < -1 || mode > 3 || decimals < 0 || decimals > 5) {
        EXPECT_EQ(text, before);
        continue;
      }
      ASSERT_GE(text.size(), 4u) << text;
      const std::string unit = text.substr(text.size() - 3);
      if (mode >= 0) {
        EXPECT_EQ(unit, units[mode]) << text;
      } else {
        EXPECT_NE(std::find(std::begin(units), std::end(units), unit), std::end(units)) << text;
      }
      const std::string number = text.substr(0, text.size() - 3);
      const std::size_t point = number.find('.');
      const std::size_t shown = point == std::string::npos ? 0 : number.size() - point - 1;
      EXPECT_LE(shown, static_cast<std::size_t>(unit == " B " ? 0 : decimals)) << text;
    }
  }
  expect_still_answering(dll);
}

// A window created and served by a thread of its own, as a host's second
// user-interface thread would have; WM_CLOSE destroys it on that thread.
class WindowOnItsOwnThread {
 public:
  WindowOnItsOwnThread() : ready_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = Thread([this] {
      window_.emplace('b');
      thread_id_ = GetCurrentThreadId();
      SetEvent(ready_);
      MSG message;
      while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    });
    WaitForSingleObject(ready_, INFINITE);
  }
  ~WindowOnItsOwnThread() {
    close();
    CloseHandle(ready_);
  }

  RecordingWindow& window() { return *window_; }

  // Destroys the window on its thread and ends the thread; what the window
  // received stays readable.
  void close() {
    if (!thread_.joinable()) return;
    PostMessageA(window_->handle(), WM_CLOSE, 0, 0);
    PostThreadMessageA(thread_id_, WM_QUIT, 0, 0);
    thread_.join();
  }

 private:
  HANDLE ready_;
  std::optional<RecordingWindow> window_;
  DWORD thread_id_ = 0;
  Thread thread_;
};

// SetParentWindow with handles the host should not give: none, a value that
// names no window, a window already destroyed, and a window of another
// thread. The window hooked before gets its own procedure back each time;
// only the other thread's window is hooked, and its messages pass through the
// hook on its own thread.
TEST(DllHostileInput, SetParentWindowWithHandlesThatAreNoHostWindow) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  RecordingWindow hooked('a');
  std::optional<RecordingWindow> destroyed(std::in_place, 'b');
  const HWND gone = destroyed->handle();
  destroyed.reset();
  WindowOnItsOwnThread other_thread;
  RecordingWindow& foreign = other_thread.window();
  const struct {
    const char* name;
    std::uintptr_t handle;
    bool hooks;
  } cases[] = {
      {"none", 0, false},
      {"no window", 0xDEADBEEF, false},
      {"a destroyed window", handle_of(gone), false},
      {"a window of another thread", handle_of(foreign.handle()), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dll.set_parent_window(handle_of(hooked.handle()));
    ASSERT_NE(hooked.current_procedure(), hooked.own_procedure());
    dll.set_parent_window(c.handle);
    EXPECT_EQ(hooked.current_procedure(), hooked.own_procedure());
    EXPECT_EQ(SendMessageA(hooked.handle(), kProbe, 1, 2), 3);
    if (c.hooks) {
      EXPECT_NE(foreign.current_procedure(), foreign.own_procedure());
      EXPECT_EQ(SendMessageA(foreign.handle(), kProbe, 3, 4), 7);
    }
  }
  other_thread.close();
  const std::vector<Received> probes = foreign.received(kProbe);
  ASSERT_EQ(probes.size(), 1u);
  EXPECT_EQ(probes[0].owner, 'b');
  const std::vector<Received> destroys = foreign.received(WM_DESTROY);
  ASSERT_EQ(destroys.size(), 1u);
  EXPECT_EQ(destroys[0].current, foreign.own_procedure()) << "given back on its own thread";
  EXPECT_EQ(hooked.received(kProbe).size(), std::size(cases));
  expect_still_answering(dll);
}

}  // namespace
}  // namespace korvex::tests
