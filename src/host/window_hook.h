// The module's hook on the host's windows: the module's procedure takes a
// window's place and hands every message on, unchanged, to the procedure that
// window had before, until the window is destroyed.
//
// Each hooked window carries its previous procedure itself, as a window
// property named after the module's own trampoline, so that two loaded
// copies of the module keep apart. The hook reads it there, on the window's
// thread, and touches no state of the module: it takes no lock, and it goes
// on forwarding after the module is unloaded. A message that finds the
// property gone (another thread gave the window back meanwhile) goes to the
// procedure the window has again. The module keeps the list of the windows
// it hooked, to give them back when the host names another window and at
// unload. A Unicode window is hooked with the wide calls, any other with the
// ANSI ones, so that the system never translates its texts through the ANSI
// code page. That a host may free the module from inside a message is the
// platform's trampolines' matter: each message holds the module meanwhile.
//
// A window is given back only while its procedure is still the hook. A
// procedure put over the hook (the host's own subclass) has kept the hook's
// address and calls it (another copy's hook over it is given the saved
// procedure instead); such a window stays hooked and forwarding, so the
// module may hold several. The module then pins its image in memory, so that
// the host's procedure never calls into freed code: as soon as a message
// comes to the hook through such a procedure, and at unload when a window is
// left hooked.
#pragma once

#include <vector>

#include "platform/platform.h"

namespace korvex {

class WindowHook {
 public:
  explicit WindowHook(Platform& platform);
  // Gives back every hooked window it can; pins the module when one is left.
  ~WindowHook();
  WindowHook(const WindowHook&) = delete;
  WindowHook& operator=(const WindowHook&) = delete;

  // Hooks the window, unless it is hooked already. The other hooked windows
  // get their own procedures back where they can. A handle the system refuses
  // hooks nothing.
  void set_parent_window(WindowHandle window);

 private:
  bool hook(WindowHandle window);

  Platform& platform_;
  std::vector<WindowHandle> hooked_;  // not given back yet
};

}  // namespace korvex
