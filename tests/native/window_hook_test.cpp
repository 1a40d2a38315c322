#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "host/window_hook.h"
#include "platform/platform_wrapper.h"
#include "platform/sim/simulated_machine.h"
#include "subclass_orders.h"

namespace korvex::tests {
namespace {

constexpr std::uint32_t kWmUser = 0x400;

// A message as a window's own procedure received it, with the window's
// procedure at that moment: its own (a or b), the host's subclass (H) or the
// hook (k).
struct Received {
  char owner;
  std::uint32_t message;
  char procedure;
  bool operator==(const Received&) const = default;
};

// Two windows a and b, each with its own procedure, which writes its letter
// to the log, records the message and answers wparam + lparam; the host's
// subclass on a writes H and calls the procedure it replaced, as a host's
// subclass does.
struct HookedMachine {
  SimulatedMachine machine;
  std::string log;
  std::vector<Received> received;
  std::optional<WindowHook> hook{std::in_place, machine};
  WindowProcedure a_own = own_procedure('a');
  WindowProcedure b_own = own_procedure('b');
  WindowHandle a = machine.create_window(a_own);
  WindowHandle b = machine.create_window(b_own);
  WindowProcedure replaced_by_host = 0;
  WindowProcedure host = machine.add_procedure(
      [this](WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
             std::intptr_t lparam) {
        log += 'H';
        return machine.call_window_procedure(replaced_by_host, window, message, wparam, lparam);
      });

  WindowProcedure own_procedure(char owner) {
    return machine.add_procedure([this, owner](WindowHandle window, std::uint32_t message,
                                               std::uintptr_t wparam, std::intptr_t lparam) {
      log += owner;
      received.push_back({owner, message, procedure_of(window)});
      return static_cast<MessageResult>(wparam) + lparam;
    });
  }

  void subclass_a() { replaced_by_host = machine.set_window_procedure(a, host); }
  // The usual way out of a subclass: put back the procedure it replaced,
  // whatever the window's procedure is by then.
  void remove_subclass_from_a() { machine.set_window_procedure(a, replaced_by_host); }

  // Who a probe sent to the window reaches, in order, and ! when the own
  // procedure's answer does not come back.
  std::string route(WindowHandle window) {
    log.clear();
    const bool answered = machine.send_message(window, kWmUser, 3, 4) == 7;
    return answered ? log : log + '!';
  }

  char procedure_of(WindowHandle window) {
    const WindowProcedure procedure = machine.get_window_procedure(window);
    if (procedure == machine.hook_procedure()) return 'k';
    if (procedure == host) return 'H';
    return procedure == a_own ? 'a' : procedure == b_own ? 'b' : '?';
  }
};

// Every order of the shared table, on the simulated machine, with the
// loader's part played here: freeing the module tears its hook down unless
// the module has pinned itself (the loader then keeps it, and a load again
// finds it as it was); once torn down, a load again starts a fresh one.
TEST(WindowHook, SubclassOrders) {
  for (const SubclassOrder& order : kSubclassOrders) {
    SCOPED_TRACE(order.name);
    HookedMachine m;
    const auto free_module = [&m] {
      if (!m.machine.module_pinned) m.hook.reset();
    };
    for (const SubclassStep step : order.steps) {
      switch (step) {
        case SubclassStep::kHookA: m.hook->set_parent_window(m.a); break;
        case SubclassStep::kHookB: m.hook->set_parent_window(m.b); break;
        case SubclassStep::kHookRefusedHandle: m.hook->set_parent_window(0xBAD); break;
        case SubclassStep::kSubclassA: m.subclass_a(); break;
        case SubclassStep::kMessageA: m.route(m.a); break;
        case SubclassStep::kRemoveSubclassFromA: m.remove_subclass_from_a(); break;
        case SubclassStep::kUnload: free_module(); break;
        case SubclassStep::kLoadAgain:
          if (!m.hook) m.hook.emplace(m.machine);
          break;
      }
    }
    const auto describe = [&m](WindowHandle window) {
      return m.route(window) + ' ' + m.procedure_of(window);
    };
    std::string outcome = "a: " + describe(m.a) + ", b: " + describe(m.b);
    free_module();
    outcome += m.machine.module_pinned ? ", kept" : ", freed";
    EXPECT_EQ(outcome, order.outcome);
  }
}

TEST(WindowHook, DestroyGivesTheProcedureBackAndWmDestroyStillArrives) {
  HookedMachine m;
  m.hook->set_parent_window(m.a);
  m.machine.destroy_window(m.a);
  EXPECT_EQ(m.received, (std::vector<Received>{{'a', win32::kWmDestroy, 'a'},
                                               {'a', win32::kWmNcDestroy, 'a'}}));
  m.hook.reset();
  EXPECT_FALSE(m.machine.module_pinned);
}

// a stays hooked under the host's subclass while the hook moves to b: the
// destruction of either ends that window's hook only.
TEST(WindowHook, DestroyingAWindowEndsOnlyItsOwnHook) {
  HookedMachine m;
  m.hook->set_parent_window(m.a);
  m.subclass_a();
  m.hook->set_parent_window(m.b);

  m.machine.destroy_window(m.a);
  EXPECT_EQ(m.log, "HaHa") << "each message once through the host's subclass and the hook";
  EXPECT_EQ(m.received, (std::vector<Received>{{'a', win32::kWmDestroy, 'H'},
                                               {'a', win32::kWmNcDestroy, 'H'}}));
  EXPECT_EQ(m.procedure_of(m.b), 'k');

  m.received.clear();
  m.machine.destroy_window(m.b);
  EXPECT_EQ(m.received, (std::vector<Received>{{'b', win32::kWmDestroy, 'b'},
                                               {'b', win32::kWmNcDestroy, 'b'}}));
  EXPECT_TRUE(m.machine.module_pinned) << "a's messages came through the host's subclass";
}

TEST(WindowHook, NeverSavesTheHookAsAWindowsPreviousProcedure) {
  HookedMachine m;
  m.hook->set_parent_window(m.a);
  // A host that copies the hook's address onto another window.
  m.machine.set_window_procedure(m.b, m.machine.get_window_procedure(m.a));
  m.hook->set_parent_window(m.b);
  m.log.clear();
  EXPECT_EQ(m.machine.send_message(m.b, kWmUser, 3, 4), 0) << "b is not hooked: nothing answers";
  EXPECT_EQ(m.log, "");
}

// Counts SetWindowLongA calls, and the windows they named.
class WindowProcedureWrites final : public PlatformWrapper {
 public:
  using PlatformWrapper::PlatformWrapper;
  std::vector<WindowHandle> windows;

  WindowProcedure set_window_procedure(WindowHandle window, WindowProcedure procedure) override {
    windows.push_back(window);
    return PlatformWrapper::set_window_procedure(window, procedure);
  }
};

// A procedure over the hook that keeps WM_DESTROY to itself leaves the hook on
// a window that no longer exists; its handle may already name another window
// by the time the module is unloaded.
TEST(WindowHook, UnloadLeavesAWindowThatIsGoneAlone) {
  HookedMachine m;
  WindowProcedureWrites writes(m.machine);
  m.hook.emplace(writes);
  m.hook->set_parent_window(m.a);
  const WindowProcedure swallower = m.machine.add_procedure(
      [&m](WindowHandle w, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam) {
        if (message == win32::kWmDestroy) return MessageResult{0};
        return m.machine.call_window_procedure(m.machine.hook_procedure(), w, message, wparam,
                                               lparam);
      });
  m.machine.set_window_procedure(m.a, swallower);
  m.machine.destroy_window(m.a);

  writes.windows.clear();
  m.hook.reset();
  EXPECT_EQ(writes.windows, std::vector<WindowHandle>{});
}

}  // namespace
}  // namespace korvex::tests

namespace korvex::tests {
namespace {

// A message that reaches the hook just after the window was given back (on
// another thread, between the system's look at the window's procedure and
// the hook's look at the saved one) still reaches the window's previous
// procedure, and is no reason to pin.
TEST(WindowHook, AMessageArrivingAfterTheWindowWasGivenBackStillArrives) {
  HookedMachine m;
  m.hook->set_parent_window(m.a);
  m.hook->set_parent_window(m.b);
  ASSERT_EQ(m.procedure_of(m.a), 'a');
  m.log.clear();
  EXPECT_EQ(m.machine.call_window_procedure(m.machine.hook_procedure(), m.a, kWmUser, 3, 4), 7);
  EXPECT_EQ(m.log, "a");
  m.hook.reset();
  EXPECT_FALSE(m.machine.module_pinned);
}

// A Unicode window is hooked with the wide calls, so its procedure stays a
// wide one and its texts never pass through the ANSI code page; an ANSI
// window with the ANSI calls. Either gets its procedure back in its form.
TEST(WindowHook, HooksEachWindowInItsOwnTextForm) {
  HookedMachine m;
  const WindowHandle wide = m.machine.create_window(m.b_own, TextForm::kWide);
  for (const WindowHandle window : {m.a, wide}) {
    const bool unicode = window == wide;
    SCOPED_TRACE(unicode ? "Unicode window" : "ANSI window");
    m.hook->set_parent_window(window);
    EXPECT_EQ(m.machine.get_window_procedure(window),
              unicode ? m.machine.hook_procedure_wide() : m.machine.hook_procedure());
    EXPECT_EQ(m.machine.is_window_unicode(window), unicode);
    m.log.clear();
    EXPECT_EQ(m.machine.send_message(window, kWmUser, 3, 4), 7);
    EXPECT_EQ(m.log, unicode ? "b" : "a");
  }
  m.hook.reset();
  EXPECT_EQ(m.machine.get_window_procedure(wide), m.b_own);
  EXPECT_TRUE(m.machine.is_window_unicode(wide));
  EXPECT_FALSE(m.machine.module_pinned);
}

}  // namespace
}  // namespace korvex::tests
