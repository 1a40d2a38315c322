// The real DLL's hook on real windows (null graphics driver under Wine).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "korvex_dll.h"
#include "recording_window.h"
#include "subclass_orders.h"

namespace korvex::tests {
namespace {

constexpr UINT kProbe = WM_USER + 1;

// The host's own subclass over a window, put on and taken off with
// SetWindowLongPtrA(GWLP_WNDPROC) as hosts do: it counts the messages that
// pass and hands each on to the procedure it replaced.
class HostSubclass {
 public:
  explicit HostSubclass(HWND window) : window_(window) {
    SetPropA(window, kSelf, this);
    replaced_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&pass_on)));
  }
  HostSubclass(const HostSubclass&) = delete;
  HostSubclass& operator=(const HostSubclass&) = delete;

  // Puts back the procedure it replaced, whatever the window's procedure is by then.
  void remove() { SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(replaced_)); }

  static WNDPROC procedure() { return &pass_on; }
  std::size_t passed(UINT message) const {
    return static_cast<std::size_t>(std::count(passed_.begin(), passed_.end(), message));
  }

 private:
  static constexpr const char* kSelf = "KorvexTestHostSubclass";

  static LRESULT CALLBACK pass_on(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = static_cast<HostSubclass*>(GetPropA(window, kSelf));
    self->passed_.push_back(message);
    return CallWindowProcA(self->replaced_, window, message, wparam, lparam);
  }

  HWND window_;
  WNDPROC replaced_ = nullptr;
  std::vector<UINT> passed_;
};

std::uintptr_t handle_of(const RecordingWindow& window) {
  return reinterpret_cast<std::uintptr_t>(window.handle());
}

// One probe message sent to the window must reach its own procedure exactly
// once, unchanged, with the procedure's result coming back to the sender.
void expect_one_probe_through(RecordingWindow& window, WPARAM wparam, LPARAM lparam) {
  const std::size_t before = window.received(kProbe).size();
  EXPECT_EQ(SendMessageA(window.handle(), kProbe, wparam, lparam),
            static_cast<LRESULT>(wparam) + lparam);
  const std::vector<Received> probes = window.received(kProbe);
  ASSERT_EQ(probes.size(), before + 1);
  EXPECT_EQ(probes.back().wparam, wparam);
  EXPECT_EQ(probes.back().lparam, lparam);
}

TEST(DllWindowHook, PassesMessagesOnAndGivesTheProcedureBackOnDestroy) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  RecordingWindow window('a');
  dll.set_parent_window(handle_of(window));
  EXPECT_NE(window.current_procedure(), window.own_procedure());
  expect_one_probe_through(window, 7, -3);

  DestroyWindow(window.handle());
  const std::vector<Received> destroys = window.received(WM_DESTROY);
  ASSERT_EQ(destroys.size(), 1u);
  EXPECT_EQ(destroys[0].current, window.own_procedure());
  EXPECT_EQ(window.received(WM_NCDESTROY).size(), 1u);
}

TEST(DllWindowHook, HookingAgainAndThenAnotherWindowKeepsEachMessageGoingOnceToItsOwner) {
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  RecordingWindow first('a');
  RecordingWindow second('b');
  dll.set_parent_window(handle_of(first));
  dll.set_parent_window(handle_of(first));
  expect_one_probe_through(first, 1, 2);

  dll.set_parent_window(handle_of(second));
  EXPECT_EQ(first.current_procedure(), first.own_procedure());
  EXPECT_NE(second.current_procedure(), second.own_procedure());
  expect_one_probe_through(first, 3, 4);
  expect_one_probe_through(second, 5, 6);
  for (const Received& r : first.received(kProbe)) EXPECT_EQ(r.owner, 'a');
  for (const Received& r : second.received(kProbe)) EXPECT_EQ(r.owner, 'b');

  DestroyWindow(second.handle());
  ASSERT_EQ(second.received(WM_DESTROY).size(), 1u);
  EXPECT_EQ(second.received(WM_DESTROY)[0].current, second.own_procedure());
}

TEST(DllWindowHook, FreeLibraryWhileHookedLeavesTheWindowWorking) {
  RecordingWindow window('a');
  {
    KorvexDll dll;
    ASSERT_TRUE(dll.loaded());
    dll.set_parent_window(handle_of(window));
    ASSERT_NE(window.current_procedure(), window.own_procedure());
  }
  EXPECT_EQ(window.current_procedure(), window.own_procedure());
  expect_one_probe_through(window, 8, 9);
  DestroyWindow(window.handle());
  EXPECT_EQ(window.received(WM_DESTROY).size(), 1u);
}

// Runs the checks in a process of their own: a module that pins itself stays
// in its process for good, as soon as a message reaches it through a host's
// subclass.
void in_own_process(const std::function<void()>& checks) {
  EXPECT_EXIT(
      {
        checks();
        std::exit(::testing::Test::HasFailure() ? 1 : 0);
      },
      ::testing::ExitedWithCode(0), "");
}

void destroying_a_window_ends_only_its_own_hook() {
  RecordingWindow first('a');
  RecordingWindow second('b');
  std::optional<HostSubclass> host;
  KorvexDll dll;
  ASSERT_TRUE(dll.loaded());
  dll.set_parent_window(handle_of(first));
  host.emplace(first.handle());
  dll.set_parent_window(handle_of(second));
  expect_one_probe_through(first, 1, 2);
  EXPECT_EQ(host->passed(kProbe), 1u);
  expect_one_probe_through(second, 3, 4);

  DestroyWindow(first.handle());
  for (const UINT message : {UINT{WM_DESTROY}, UINT{WM_NCDESTROY}}) {
    const std::vector<Received> got = first.received(message);
    ASSERT_EQ(got.size(), 1u) << message;
    EXPECT_EQ(got[0].owner, 'a') << message;
    EXPECT_EQ(host->passed(message), 1u) << message;
  }
  EXPECT_NE(second.current_procedure(), second.own_procedure()) << "b is still hooked";
  expect_one_probe_through(second, 5, 6);

  DestroyWindow(second.handle());
  ASSERT_EQ(second.received(WM_DESTROY).size(), 1u);
  EXPECT_EQ(second.received(WM_DESTROY)[0].current, second.own_procedure());
  for (const Received& r : second.received(kProbe)) EXPECT_EQ(r.owner, 'b');
}

// a stays hooked under the host's subclass while the hook moves to b: the
// destruction of either ends that window's hook only.
TEST(DllWindowHook, DestroyingAWindowEndsOnlyItsOwnHook) {
  in_own_process(destroying_a_window_ends_only_its_own_hook);
}

// Runs the steps on two fresh windows a and b, then probes each once and
// frees the module; the outcome is written as the shared table writes it.
std::string outcome_of(const std::vector<SubclassStep>& steps) {
  std::optional<HostSubclass> host;
  RecordingWindow a('a');
  RecordingWindow b('b');
  std::optional<KorvexDll> dll(std::in_place);
  if (!dll->loaded()) return "not loaded";
  for (const SubclassStep step : steps) {
    switch (step) {
      case SubclassStep::kHookA: dll->set_parent_window(handle_of(a)); break;
      case SubclassStep::kHookB: dll->set_parent_window(handle_of(b)); break;
      case SubclassStep::kHookRefusedHandle: dll->set_parent_window(0xDEADBEEF); break;
      case SubclassStep::kSubclassA: host.emplace(a.handle()); break;
      case SubclassStep::kMessageA: SendMessageA(a.handle(), kProbe, 1, 2); break;
      case SubclassStep::kRemoveSubclassFromA: host->remove(); break;
      case SubclassStep::kUnload: dll.reset(); break;
      case SubclassStep::kLoadAgain: dll.emplace(); break;
    }
  }
  const auto describe = [&](RecordingWindow& window) {
    const std::size_t host_before = host ? host->passed(kProbe) : 0;
    const std::size_t before = window.received(kProbe).size();
    const bool answered = SendMessageA(window.handle(), kProbe, 3, 4) == 7;
    std::string route(host ? host->passed(kProbe) - host_before : 0, 'H');
    const std::vector<Received> probes = window.received(kProbe);
    for (std::size_t i = before; i < probes.size(); ++i) route += probes[i].owner;
    if (!answered) route += '!';
    const WNDPROC current = window.current_procedure();
    const char procedure = current == window.own_procedure() ? (&window == &a ? 'a' : 'b')
                           : current == HostSubclass::procedure() ? 'H'
                                                                  : 'k';
    return route + ' ' + procedure;
  };
  std::string outcome = "a: " + describe(a) + ", b: " + describe(b);
  dll.reset();
  return outcome + (GetModuleHandleA("Korvex.dll") != nullptr ? ", kept" : ", freed");
}

// Each row runs in a process of its own: a module that pins itself stays in
// the process for good. The host subclasses with SetWindowLongPtrA; freeing
// the module must never leave a window calling into code that is gone (the
// process would crash).
TEST(DllWindowHook, SubclassOrders) {
  for (const SubclassOrder& order : kSubclassOrders) {
    EXPECT_EXIT(
        {
          std::fputs(outcome_of(order.steps).c_str(), stderr);
          std::exit(0);
        },
        ::testing::ExitedWithCode(0), order.outcome)
        << order.name;
  }
}

}  // namespace
}  // namespace korvex::tests
