// SetFile's trigger word shows the module's message box. A CBT hook on this
// thread reads each box as it is activated and presses its OK button, since
// MessageBoxA blocks until the box is closed.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "korvex_dll.h"
#include "thread.h"

namespace korvex::tests {
namespace {

struct ShownBox {
  HWND box;
  std::string text;
  std::string caption;
};

std::vector<ShownBox> shown;
// Runs while a box is up, before it is closed.
std::function<void()> while_shown;

std::string window_text(HWND window) {
  char text[256] = {};
  return std::string(text, static_cast<std::size_t>(GetWindowTextA(window, text, sizeof text)));
}

// Activation is reported more than once per box; each box is read once.
LRESULT CALLBACK close_message_boxes(int code, WPARAM wparam, LPARAM lparam) {
  const HWND window = reinterpret_cast<HWND>(wparam);
  char class_name[16] = {};
  if (code == HCBT_ACTIVATE && GetClassNameA(window, class_name, sizeof class_name) > 0 &&
      std::strcmp(class_name, "#32770") == 0 && (shown.empty() || shown.back().box != window)) {
    shown.push_back({window, window_text(GetDlgItem(window, 0xFFFF)), window_text(window)});
    if (while_shown) while_shown();
    PostMessageA(window, WM_COMMAND, IDOK, 0);
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

TEST(DllTriggerWord, OnlyTheExactWordShowsThePraise) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  const HHOOK hook = SetWindowsHookExA(WH_CBT, close_message_boxes, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  struct Case {
    const char* text;
    std::size_t boxes;
  };
  for (const Case& c : {Case{"quex", 0}, Case{"Quex ", 0}, Case{"Quexx", 0}, Case{"Quex", 1}}) {
    shown.clear();
    dll.set_file(c.text);
    EXPECT_EQ(shown.size(), c.boxes) << c.text;
  }
  UnhookWindowsHookEx(hook);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].text, std::string("\xCC\xE0\xEB\xE0\xE4\xF6\xE0\x21\x20\x3A\x29", 11));
  EXPECT_EQ(shown[0].caption, "Error") << "the system's caption for none";
}

// The box blocks SetFile until the user closes it; another thread's export
// must not wait that long.
TEST(DllTriggerWord, AnotherThreadsCallGetsThroughWhileThePraiseIsUp) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  const HHOOK hook = SetWindowsHookExA(WH_CBT, close_message_boxes, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  Thread other;
  DWORD waited = WAIT_FAILED;
  const HANDLE pushed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  while_shown = [&] {
    other = Thread([&] {
      dll.set_data(42);
      SetEvent(pushed);
    });
    // The push gets through at once unless the lock is kept; the deadline is
    // generous because Wine under an emulator can be slow to start a thread.
    waited = WaitForSingleObject(pushed, 30000);
  };
  shown.clear();
  dll.set_file("Quex");
  while_shown = nullptr;
  UnhookWindowsHookEx(hook);
  other.join();
  CloseHandle(pushed);
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_EQ(waited, WAIT_OBJECT_0);
}

}  // namespace
}  // namespace korvex::tests
