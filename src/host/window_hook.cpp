#include "host/window_hook.h"

#include <algorithm>
#include <atomic>

namespace korvex {
namespace {

// The window property that carries a hooked window's previous procedure.
constexpr const char* kSavedProcedure = "Korvex.SavedWindowProcedure";

// Puts the saved procedure back and ends the window's hook, unless a
// procedure has been put over the hook: that one still calls the hook, which
// must stay. False when the window stays hooked, also when the system refuses
// to put the procedure back: the hook then keeps forwarding.
bool end_hook(Platform& platform, WindowHandle window, WindowProcedure saved) {
  if (platform.get_window_procedure(window) != platform.hook_procedure()) return false;
  if (platform.set_window_procedure(window, saved) == 0) return false;
  platform.remove_window_property(window, kSavedProcedure);
  return true;
}

// False while the window stays hooked. A window without the property is
// hooked no more: its WM_DESTROY ended the hook, or it is gone.
bool give_back(Platform& platform, WindowHandle window) {
  const WindowProcedure saved = platform.get_window_property(window, kSavedProcedure);
  return saved == 0 || end_hook(platform, window, saved);
}

// The handler behind the platform's trampoline. It is plain static data, not
// part of the module object, because a window left hooked at unload still
// sends its messages through it; it answers from the windows' own properties.
class SavedProcedureForwarder final : public WindowMessageHandler {
 public:
  void serve(Platform& platform) {
    platform_ = &platform;
    pinned_ = false;
    platform.set_hook_handler(this);
  }

  MessageResult handle_message(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam) override {
    const WindowProcedure saved = platform_->get_window_property(window, kSavedProcedure);
    if (saved == 0) return 0;
    // A procedure over the hook calls it by its address, so the module's code
    // must outlive any unload. Pinning now, not at unload: a loader may
    // already have decided to unmap the image when it announces the unload.
    if (!pinned_.load(std::memory_order_relaxed) &&
        platform_->get_window_procedure(window) != platform_->hook_procedure()) {
      platform_->pin_module();
      pinned_.store(true, std::memory_order_relaxed);
    }
    if (message == win32::kWmDestroy) {
      end_hook(*platform_, window, saved);
    } else if (message == win32::kWmNcDestroy) {
      // The window's last message, reaching the hook only when a procedure
      // over it kept the hook at WM_DESTROY.
      platform_->remove_window_property(window, kSavedProcedure);
    }
    return platform_->call_window_procedure(saved, window, message, wparam, lparam);
  }

 private:
  Platform* platform_ = nullptr;
  std::atomic<bool> pinned_{false};  // messages come on the windows' threads
};

constinit SavedProcedureForwarder forwarder;

}  // namespace

WindowHook::WindowHook(Platform& platform) : platform_(platform) { forwarder.serve(platform); }

WindowHook::~WindowHook() {
  std::erase_if(hooked_, [this](WindowHandle window) { return give_back(platform_, window); });
  if (!hooked_.empty()) platform_.pin_module();
}

void WindowHook::set_parent_window(WindowHandle window) {
  std::erase_if(hooked_, [&](WindowHandle hooked) {
    return hooked != window && give_back(platform_, hooked);
  });
  // Hooking a hooked window again would save the hook as its own predecessor,
  // and its messages would come round to it without end.
  if (platform_.get_window_property(window, kSavedProcedure) == 0 && !hook(window)) return;
  if (std::find(hooked_.begin(), hooked_.end(), window) == hooked_.end()) hooked_.push_back(window);
}

// The window carries its previous procedure before the hook takes its place:
// the window's thread may pass it a message at once.
bool WindowHook::hook(WindowHandle window) {
  const WindowProcedure current = platform_.get_window_procedure(window);
  if (current == 0 || current == platform_.hook_procedure() ||
      !platform_.set_window_property(window, kSavedProcedure, current)) {
    return false;
  }
  const WindowProcedure previous =
      platform_.set_window_procedure(window, platform_.hook_procedure());
  if (previous == 0) {
    platform_.remove_window_property(window, kSavedProcedure);
    return false;
  }
  // The window's own thread changed its procedure in between.
  if (previous != current) platform_.set_window_property(window, kSavedProcedure, previous);
  return true;
}

}  // namespace korvex
