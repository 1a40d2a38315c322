// The real DLL's hook under hosts that behave as hosts do: freeing the module
// from inside a message or from another thread, Unicode windows, hooking and
// unhooking from a second thread, two copies of the module under two names.
// Each case runs in a process of its own, so that a crash fails only it.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "library_loader.h"
#include "thread.h"

namespace korvex::tests {
namespace {

constexpr UINT kProbe = WM_USER + 1;
constexpr UINT kFreeNow = WM_USER + 2;

HMODULE load_korvex(const char* file) {
  return LoadLibraryA((host_tool::program_directory() + file).c_str());
}

void set_parent_window(HMODULE dll, HWND window) {
  using SetParentWindowFunction = void(__cdecl*)(std::uintptr_t);
  reinterpret_cast<SetParentWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(dll, "SetParentWindow")))(
      reinterpret_cast<std::uintptr_t>(window));
}

bool loaded(const char* file) { return GetModuleHandleA(file) != nullptr; }

// The host's window. Its own procedure counts the probes it receives (and
// answers wparam + lparam), frees the module on the message chosen, and keeps
// the texts it is sent.
struct HostWindow {
  static inline HMODULE module_to_free = nullptr;
  static inline UINT free_on = 0;
  static inline std::atomic<long> probes{0};
  static inline std::function<void(long)> on_probe;
  static inline std::wstring text_set;
  static inline WPARAM character = 0;

  static void message_arrived(UINT message) {
    if (message == free_on && module_to_free != nullptr) {
      FreeLibrary(module_to_free);
      module_to_free = nullptr;
    }
  }

  static LRESULT CALLBACK ansi(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    message_arrived(message);
    if (message == kProbe) {
      const long count = ++probes;
      if (on_probe) on_probe(count);
      return static_cast<LRESULT>(wparam) + lparam;
    }
    if (message == WM_CLOSE) return 0;
    return DefWindowProcA(window, message, wparam, lparam);
  }

  static LRESULT CALLBACK wide(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    message_arrived(message);
    if (message == kProbe) {
      ++probes;
      return static_cast<LRESULT>(wparam) + lparam;
    }
    if (message == WM_SETTEXT) text_set = reinterpret_cast<const wchar_t*>(lparam);
    if (message == WM_CHAR) character = wparam;
    if (message == WM_CLOSE) return 0;
    return DefWindowProcW(window, message, wparam, lparam);
  }

  explicit HostWindow(bool unicode) : unicode_(unicode) {
    if (unicode) {
      WNDCLASSW window_class{};
      window_class.lpfnWndProc = &wide;
      window_class.hInstance = GetModuleHandleA(nullptr);
      window_class.lpszClassName = L"KorvexTestHostWindowW";
      RegisterClassW(&window_class);
      handle = CreateWindowExW(0, window_class.lpszClassName, L"host", WS_OVERLAPPEDWINDOW, 0, 0,
                               100, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    } else {
      WNDCLASSA window_class{};
      window_class.lpfnWndProc = &ansi;
      window_class.hInstance = GetModuleHandleA(nullptr);
      window_class.lpszClassName = "KorvexTestHostWindowA";
      RegisterClassA(&window_class);
      handle = CreateWindowExA(0, window_class.lpszClassName, "host", WS_OVERLAPPEDWINDOW, 0, 0,
                               100, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
  }

  bool has_own_procedure() const {
    const LONG_PTR own = unicode_ ? reinterpret_cast<LONG_PTR>(&wide)
                                  : reinterpret_cast<LONG_PTR>(&ansi);
    return (unicode_ ? GetWindowLongPtrW(handle, GWLP_WNDPROC)
                     : GetWindowLongPtrA(handle, GWLP_WNDPROC)) == own;
  }

  // One probe through the window: its answer and one more arrival.
  bool probe_arrives() const {
    const long before = probes;
    return SendMessageA(handle, kProbe, 3, 4) == 7 && probes == before + 1;
  }

  HWND handle = nullptr;
  bool unicode_;
};

// Runs a case in a process of its own and expects it to print `expected`.
void expect_in_own_process(const std::function<std::string()>& run, const char* expected) {
  EXPECT_EXIT(
      {
        std::fputs(run().c_str(), stderr);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), expected);
}

std::string yes_no(bool value) { return value ? "yes" : "no"; }

enum class FreeInside { kDestroy, kClose, kSentMessage, kPostedMessage };

// The host frees the module from its own procedure, inside a message that
// came through the hook: the host must survive it, the message must arrive,
// and the module must be gone once the message has returned.
std::string free_inside(FreeInside when, bool unicode) {
  HostWindow window(unicode);
  HMODULE dll = load_korvex("Korvex.dll");
  if (dll == nullptr || window.handle == nullptr) return "set-up failed";
  set_parent_window(dll, window.handle);
  if (window.has_own_procedure()) return "not hooked";
  HostWindow::module_to_free = dll;
  switch (when) {
    case FreeInside::kDestroy:
      HostWindow::free_on = WM_DESTROY;
      DestroyWindow(window.handle);
      break;
    case FreeInside::kClose:
      HostWindow::free_on = WM_CLOSE;
      SendMessageA(window.handle, WM_CLOSE, 0, 0);
      break;
    case FreeInside::kSentMessage:
      HostWindow::free_on = kFreeNow;
      SendMessageA(window.handle, kFreeNow, 0, 0);
      break;
    case FreeInside::kPostedMessage: {
      HostWindow::free_on = kFreeNow;
      PostMessageA(window.handle, kFreeNow, 0, 0);
      MSG message;
      while (HostWindow::module_to_free != nullptr && GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
      }
      break;
    }
  }
  const bool freed_in_message = HostWindow::module_to_free == nullptr;
  std::string outcome = "freed in the message " + yes_no(freed_in_message) + ", unloaded " +
                        yes_no(!loaded("Korvex.dll"));
  if (IsWindow(window.handle)) {
    outcome += ", own procedure " + yes_no(window.has_own_procedure()) + ", probe " +
               yes_no(window.probe_arrives());
    DestroyWindow(window.handle);
  }
  return outcome + ", survived";
}

TEST(DllWindowHookUnload, TheHostFreesTheModuleInsideAMessage) {
  struct Case {
    FreeInside when;
    const char* expected;
  };
  const Case cases[] = {
      {FreeInside::kDestroy, "freed in the message yes, unloaded yes, survived"},
      {FreeInside::kClose,
       "freed in the message yes, unloaded yes, own procedure yes, probe yes, survived"},
      {FreeInside::kSentMessage,
       "freed in the message yes, unloaded yes, own procedure yes, probe yes, survived"},
      {FreeInside::kPostedMessage,
       "freed in the message yes, unloaded yes, own procedure yes, probe yes, survived"},
  };
  for (const bool unicode : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(unicode ? "Unicode window" : "ANSI window");
      expect_in_own_process([&] { return free_inside(c.when, unicode); }, c.expected);
    }
  }
}

// Another thread frees the module while the window's thread sends it 300
// probes: once certainly while a probe is inside the window's procedure, and
// once at whatever moment it comes.
std::string free_on_worker(bool inside_a_probe) {
  constexpr long kProbes = 300;
  HostWindow window(false);
  HMODULE dll = load_korvex("Korvex.dll");
  if (dll == nullptr || window.handle == nullptr) return "set-up failed";
  set_parent_window(dll, window.handle);
  HANDLE in_probe = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE freed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (inside_a_probe) {
    HostWindow::on_probe = [&](long count) {
      if (count != 100) return;
      SetEvent(in_probe);
      WaitForSingleObject(freed, 30000);
    };
  } else {
    SetEvent(in_probe);
  }
  Thread worker([&] {
    WaitForSingleObject(in_probe, 30000);
    FreeLibrary(dll);
    SetEvent(freed);
  });
  long answered = 0;
  for (long i = 0; i < kProbes; ++i) answered += SendMessageA(window.handle, kProbe, 3, 4) == 7;
  worker.join();
  CloseHandle(in_probe);
  CloseHandle(freed);
  const std::string outcome = "answered " + std::to_string(answered) + ", arrived " +
                              std::to_string(HostWindow::probes.load()) + ", unloaded " +
                              yes_no(!loaded("Korvex.dll")) + ", own procedure " +
                              yes_no(window.has_own_procedure());
  DestroyWindow(window.handle);
  return outcome;
}

TEST(DllWindowHookUnload, AWorkerFreesTheModuleWhileTheWindowsThreadSendsMessages) {
  for (const bool inside_a_probe : {true, false}) {
    SCOPED_TRACE(inside_a_probe ? "inside a probe" : "at any moment");
    expect_in_own_process([&] { return free_on_worker(inside_a_probe); },
                          "answered 300, arrived 300, unloaded yes, own procedure yes");
  }
}

// Characters outside the ANSI code page (1252 here) reach a hooked Unicode
// window unchanged, and the window stays Unicode.
TEST(DllWindowHookUnload, AUnicodeWindowStaysUnicode) {
  expect_in_own_process(
      [] {
        HostWindow window(true);
        HMODULE dll = load_korvex("Korvex.dll");
        if (dll == nullptr || window.handle == nullptr) return std::string("set-up failed");
        set_parent_window(dll, window.handle);
        const std::wstring text = L"\u0416\u65E5\u672C\u20AC";
        SendMessageW(window.handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(window.handle, WM_CHAR, 0x65E5, 0);
        wchar_t read_back[16] = {};
        SendMessageW(window.handle, WM_GETTEXT, 16, reinterpret_cast<LPARAM>(read_back));
        std::string outcome = "hooked " + yes_no(!window.has_own_procedure()) + ", unicode " +
                              yes_no(IsWindowUnicode(window.handle) != 0) + ", set " +
                              yes_no(HostWindow::text_set == text) + ", char " +
                              yes_no(HostWindow::character == 0x65E5) + ", read back " +
                              yes_no(read_back == text);
        FreeLibrary(dll);
        outcome += ", after free unicode " + yes_no(IsWindowUnicode(window.handle) != 0) +
                   ", own procedure " + yes_no(window.has_own_procedure());
        DestroyWindow(window.handle);
        return outcome;
      },
      "hooked yes, unicode yes, set yes, char yes, read back yes, after free unicode yes, own "
      "procedure yes");
}

// A second thread hooks and unhooks the window without pause while its own
// thread sends at least 10^5 probes, and goes on sending until the second
// thread has re-hooked 100 times meanwhile (a busy machine may give it little
// time): none may be lost, and nothing may pin the module.
TEST(DllWindowHookUnload, NoMessageIsLostWhileAnotherThreadRehooks) {
  expect_in_own_process(
      [] {
        constexpr long kProbes = 100000;
        constexpr long kRehooks = 100;
        constexpr DWORD kDeadlineMs = 30000;
        HostWindow window(false);
        HMODULE dll = load_korvex("Korvex.dll");
        if (dll == nullptr || window.handle == nullptr) return std::string("set-up failed");
        std::atomic<bool> stop{false};
        std::atomic<long> rehooks{0};
        Thread rehooker([&] {
          while (!stop) {
            set_parent_window(dll, window.handle);
            set_parent_window(dll, nullptr);
            ++rehooks;
          }
        });
        while (rehooks == 0) Sleep(1);
        const long rehooks_before = rehooks;
        const DWORD start = GetTickCount();
        long sent = 0;
        long answered = 0;
        while (sent < kProbes ||
               (rehooks - rehooks_before < kRehooks && GetTickCount() - start < kDeadlineMs)) {
          answered += SendMessageA(window.handle, kProbe, 3, 4) == 7;
          ++sent;
        }
        const long rehooks_while_sending = rehooks - rehooks_before;
        stop = true;
        rehooker.join();
        std::fprintf(stderr, "(%ld probes, %ld rehooks while sending) ", sent,
                     rehooks_while_sending);
        FreeLibrary(dll);
        const std::string outcome = "lost " + std::to_string(sent - answered) +
                                    ", all arrived " + yes_no(HostWindow::probes.load() == sent) +
                                    ", unloaded " + yes_no(!loaded("Korvex.dll")) +
                                    ", rehooked meanwhile " +
                                    yes_no(rehooks_while_sending >= kRehooks);
        DestroyWindow(window.handle);
        return outcome;
      },
      "lost 0, all arrived yes, unloaded yes, rehooked meanwhile yes");
}

// The same file under two names, as a host with two plug-in folders loads
// it: each copy hooks the window, and the two are freed in either order.
TEST(DllWindowHookUnload, TwoCopiesHookAndUnloadIndependently) {
  const std::string copy = host_tool::program_directory() + "KorvexCopy.dll";
  ASSERT_TRUE(CopyFileA((host_tool::program_directory() + "Korvex.dll").c_str(), copy.c_str(),
                        FALSE));
  for (const bool first_freed_first : {true, false}) {
    SCOPED_TRACE(first_freed_first ? "first freed first" : "second freed first");
    expect_in_own_process(
        [&] {
          HostWindow window(false);
          HMODULE first = load_korvex("Korvex.dll");
          HMODULE second = load_korvex("KorvexCopy.dll");
          if (first == nullptr || second == nullptr || window.handle == nullptr) {
            return std::string("set-up failed");
          }
          set_parent_window(first, window.handle);
          set_parent_window(second, window.handle);
          std::string outcome = "probe " + yes_no(window.probe_arrives());
          FreeLibrary(first_freed_first ? first : second);
          outcome += ", probe " + yes_no(window.probe_arrives());
          FreeLibrary(first_freed_first ? second : first);
          outcome += ", probe " + yes_no(window.probe_arrives()) + ", own procedure " +
                     yes_no(window.has_own_procedure()) + ", unloaded " +
                     yes_no(!loaded("Korvex.dll") && !loaded("KorvexCopy.dll"));
          DestroyWindow(window.handle);
          return outcome;
        },
        "probe yes, probe yes, probe yes, own procedure yes, unloaded yes");
  }
  DeleteFileA(copy.c_str());
}

}  // namespace
}  // namespace korvex::tests
