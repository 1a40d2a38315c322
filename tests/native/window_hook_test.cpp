#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "host/window_hook.h"
#include "platform/sim/simulated_machine.h"

namespace korvex::tests {
namespace {

constexpr std::uint32_t kWmNcDestroy = 0x82;
constexpr std::uint32_t kWmUser = 0x400;

// A message as a window's own procedure received it, with the procedure the
// window had at that moment.
struct Received {
  char owner;
  WindowHandle window;
  std::uint32_t message;
  std::uintptr_t wparam;
  std::intptr_t lparam;
  WindowProcedure current;
  bool operator==(const Received&) const = default;
};

struct WindowHookTest : ::testing::Test {
  SimulatedMachine machine;
  std::vector<Received> received;
  std::optional<WindowHook> hook_object{std::in_place, machine};

  // A window procedure that records what reaches it and answers wparam + lparam.
  WindowProcedure procedure(char owner) {
    return machine.add_procedure(
        [this, owner](WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                      std::intptr_t lparam) {
          received.push_back(
              {owner, window, message, wparam, lparam, machine.get_window_procedure(window)});
          return static_cast<MessageResult>(wparam) + lparam;
        });
  }

  WindowHook& hook() { return *hook_object; }
};

TEST_F(WindowHookTest, PassesEveryMessageOnUnchangedWithItsResult) {
  const WindowProcedure a = procedure('a');
  const WindowHandle window = machine.create_window(a);
  hook().set_parent_window(window);
  EXPECT_EQ(machine.get_window_procedure(window), machine.hook_procedure());
  EXPECT_EQ(hook().saved_procedure(), a);

  EXPECT_EQ(machine.send_message(window, kWmUser, 7, -3), 4);
  EXPECT_EQ(received, (std::vector<Received>{{'a', window, kWmUser, 7, -3, machine.hook_procedure()}}));
}

TEST_F(WindowHookTest, DestroyGivesTheProcedureBackAndWmDestroyStillArrives) {
  const WindowProcedure a = procedure('a');
  const WindowHandle window = machine.create_window(a);
  hook().set_parent_window(window);
  machine.destroy_window(window);

  EXPECT_EQ(received, (std::vector<Received>{{'a', window, win32::kWmDestroy, 0, 0, a},
                                             {'a', window, kWmNcDestroy, 0, 0, a}}));
  EXPECT_FALSE(hook().installed());
  EXPECT_EQ(hook().saved_procedure(), a);
}

// The host subclasses its window over the hook; hooking the window again must
// neither save the hook as its own predecessor nor cut the host's procedure out.
TEST_F(WindowHookTest, HookingTheHookedWindowAgainChangesNothing) {
  const WindowProcedure a = procedure('a');
  const WindowHandle window = machine.create_window(a);
  hook().set_parent_window(window);
  const WindowProcedure host = machine.add_procedure(
      [this](WindowHandle w, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
        received.push_back({'h', w, message, wparam, lparam, machine.get_window_procedure(w)});
        return machine.call_window_procedure(machine.hook_procedure(), w, message, wparam, lparam);
      });
  machine.set_window_procedure(window, host);

  hook().set_parent_window(window);
  ASSERT_EQ(hook().saved_procedure(), a) << "the hook saved as its own predecessor loops";
  EXPECT_EQ(machine.get_window_procedure(window), host);
  machine.send_message(window, kWmUser, 1, 2);
  EXPECT_EQ(received, (std::vector<Received>{{'h', window, kWmUser, 1, 2, host},
                                             {'a', window, kWmUser, 1, 2, host}}));
}

TEST_F(WindowHookTest, HookingAnotherWindowGivesTheFirstItsProcedureBack) {
  const WindowProcedure a = procedure('a');
  const WindowProcedure b = procedure('b');
  const WindowHandle first = machine.create_window(a);
  const WindowHandle second = machine.create_window(b);
  hook().set_parent_window(first);
  hook().set_parent_window(second);
  EXPECT_EQ(machine.get_window_procedure(first), a);
  EXPECT_EQ(machine.get_window_procedure(second), machine.hook_procedure());

  machine.send_message(first, kWmUser, 1, 0);
  machine.send_message(second, kWmUser, 2, 0);
  EXPECT_EQ(received, (std::vector<Received>{{'a', first, kWmUser, 1, 0, a},
                                             {'b', second, kWmUser, 2, 0, machine.hook_procedure()}}));
}

TEST_F(WindowHookTest, AHandleTheSystemRefusesLeavesNothingHooked) {
  const WindowProcedure a = procedure('a');
  const WindowHandle window = machine.create_window(a);
  hook().set_parent_window(window);
  hook().set_parent_window(0xBAD);
  EXPECT_FALSE(hook().installed());
  EXPECT_EQ(hook().saved_procedure(), 0u);
  EXPECT_EQ(machine.get_window_procedure(window), a);
}

TEST_F(WindowHookTest, UnloadGivesAHookedWindowItsProcedureBack) {
  const WindowProcedure a = procedure('a');
  const WindowHandle window = machine.create_window(a);
  hook().set_parent_window(window);
  hook_object.reset();

  EXPECT_EQ(machine.get_window_procedure(window), a);
  machine.send_message(window, kWmUser, 5, 6);
  EXPECT_EQ(received, (std::vector<Received>{{'a', window, kWmUser, 5, 6, a}}));
}

// A procedure over the hook that keeps WM_DESTROY to itself leaves the hook
// installed on a window that no longer exists; its handle may already name
// another window by the time the module is unloaded.
TEST_F(WindowHookTest, UnloadLeavesAWindowThatIsGoneAlone) {
  const WindowHandle window = machine.create_window(procedure('a'));
  hook().set_parent_window(window);
  const WindowProcedure swallower = machine.add_procedure(
      [this](WindowHandle w, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
        if (message == win32::kWmDestroy) return MessageResult{0};
        return machine.call_window_procedure(machine.hook_procedure(), w, message, wparam, lparam);
      });
  machine.set_window_procedure(window, swallower);
  machine.destroy_window(window);
  ASSERT_TRUE(hook().installed());

  machine.last_error = 0;
  hook_object.reset();
  EXPECT_EQ(machine.last_error, 0u) << "SetWindowLongA on the destroyed window";
}

}  // namespace
}  // namespace korvex::tests
