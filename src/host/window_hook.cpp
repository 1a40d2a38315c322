#include "host/window_hook.h"

namespace korvex {

WindowHook::WindowHook(Platform& platform) : platform_(platform) {
  platform_.set_hook_handler(this);
}

WindowHook::~WindowHook() {
  if (installed_ && platform_.is_window(parent_window_)) give_back();
  platform_.set_hook_handler(nullptr);
}

void WindowHook::set_parent_window(WindowHandle window) {
  // Hooking the hooked window again would save the hook as its own
  // predecessor, and every message would come round to it without end.
  if (installed_ && window == parent_window_) return;
  // The saved procedure belongs to the old window; the new one has its own.
  if (installed_) give_back();
  parent_window_ = window;
  saved_procedure_ = platform_.set_window_procedure(window, platform_.hook_procedure());
  installed_ = saved_procedure_ != 0;
}

MessageResult WindowHook::handle_message(WindowHandle window, std::uint32_t message,
                                         std::uintptr_t wparam, std::intptr_t lparam) {
  if (message == win32::kWmDestroy && installed_) give_back();
  return platform_.call_window_procedure(saved_procedure_, window, message, wparam, lparam);
}

// The saved procedure keeps its value: the WM_DESTROY being handled still
// goes on to it.
void WindowHook::give_back() {
  platform_.set_window_procedure(parent_window_, saved_procedure_);
  installed_ = false;
}

}  // namespace korvex
