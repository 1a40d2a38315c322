// The module's hook on the host's window: the module's procedure takes the
// window's place and hands every message on, unchanged, to the procedure the
// window had before, until the window is destroyed. One window is hooked at a
// time.
#pragma once

#include <cstdint>

#include "platform/platform.h"

namespace korvex {

class WindowHook final : public WindowMessageHandler {
 public:
  explicit WindowHook(Platform& platform);
  // Gives a window that is still hooked its procedure back, so that it never
  // calls into a module that has been unloaded.
  ~WindowHook();
  WindowHook(const WindowHook&) = delete;
  WindowHook& operator=(const WindowHook&) = delete;

  // Hooks the window. The window hooked so far, if another, gets its own
  // procedure back first; the hooked window itself is left as it is. A handle
  // the system refuses leaves nothing hooked and the saved procedure 0.
  void set_parent_window(WindowHandle window);

  MessageResult handle_message(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam) override;

  WindowProcedure saved_procedure() const { return saved_procedure_; }
  bool installed() const { return installed_; }

 private:
  void give_back();

  Platform& platform_;
  WindowHandle parent_window_ = 0;
  WindowProcedure saved_procedure_ = 0;
  bool installed_ = false;
};

}  // namespace korvex
