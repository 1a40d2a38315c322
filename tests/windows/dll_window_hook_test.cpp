// The real DLL's hook on real windows (null graphics driver under Wine).
#include <gtest/gtest.h>

#include "korvex_dll.h"
#include "recording_window.h"

namespace korvex::tests {
namespace {

constexpr UINT kProbe = WM_USER + 1;

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

}  // namespace
}  // namespace korvex::tests
