#include "host/window_hook.h"

#include <algorithm>
#include <atomic>
#include <string_view>

namespace korvex {
namespace {

// The window calls in the form the hook uses on a window: the wide ones on a
// Unicode window, so that its texts never pass through the ANSI code page.
WindowProcedure trampoline(Platform& platform, TextForm form) {
  return form == TextForm::kWide ? platform.hook_procedure_wide() : platform.hook_procedure();
}

WindowProcedure procedure_of(Platform& platform, WindowHandle window, TextForm form) {
  return form == TextForm::kWide ? platform.get_window_procedure_wide(window)
                                 : platform.get_window_procedure(window);
}

WindowProcedure replace_procedure(Platform& platform, WindowHandle window,
                                  WindowProcedure procedure, TextForm form) {
  return form == TextForm::kWide ? platform.set_window_procedure_wide(window, procedure)
                                 : platform.set_window_procedure(window, procedure);
}

MessageResult pass_on(Platform& platform, TextForm form, WindowProcedure procedure,
                      WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                      std::intptr_t lparam) {
  return form == TextForm::kWide
             ? platform.call_window_procedure_wide(procedure, window, message, wparam, lparam)
             : platform.call_window_procedure(procedure, window, message, wparam, lparam);
}

// The window property that carries a hooked window's previous procedure. Its
// name holds the address of the trampoline it belongs to, so that each
// loaded copy of the module (the same file under two names) keeps its own
// hooks, and a copy can recognise another one's hook over its own.
class SavedProcedureName {
 public:
  explicit SavedProcedureName(WindowProcedure trampoline) {
    constexpr std::string_view kPrefix = "Korvex.SavedWindowProcedure.";
    std::size_t at = kPrefix.copy(name_, kPrefix.size());
    for (int shift = 8 * sizeof trampoline - 4; shift >= 0; shift -= 4) {
      name_[at++] = "0123456789abcdef"[(trampoline >> shift) & 0xF];
    }
    name_[at] = '\0';
  }
  const char* c_str() const { return name_; }

 private:
  char name_[48];  // the prefix, 16 digits at most and the NUL
};

WindowProcedure saved_procedure(Platform& platform, WindowHandle window,
                                WindowProcedure trampoline) {
  return platform.get_window_property(window, SavedProcedureName(trampoline).c_str());
}

// Follows the window's procedures down from its current one as long as each
// is a copy's hook (it carries its saved procedure under its own name), and
// returns the one whose saved procedure is `hook`: `hook` itself when it is
// the window's procedure, 0 when a procedure of the host's comes first. A
// handful of steps: no host loads the module a dozen times.
WindowProcedure hook_over(Platform& platform, WindowHandle window, TextForm form,
                          WindowProcedure hook) {
  WindowProcedure above = procedure_of(platform, window, form);
  for (int step = 0; step < 16 && above != 0; ++step) {
    if (above == hook) return hook;
    const WindowProcedure below = saved_procedure(platform, window, above);
    if (below == hook) return above;
    above = below;
  }
  return 0;
}

// Puts the saved procedure back and ends the window's hook. Under another
// copy's hook, that copy is given the saved procedure instead. A procedure of
// the host's over the hook still calls it, so the hook must stay. False when
// the window stays hooked, also when the system refuses to put the
// procedure back: the hook then keeps forwarding.
bool end_hook(Platform& platform, WindowHandle window, TextForm form, WindowProcedure saved) {
  const WindowProcedure hook = trampoline(platform, form);
  const WindowProcedure above = hook_over(platform, window, form, hook);
  if (above == 0) return false;
  if (above == hook) {
    if (replace_procedure(platform, window, saved, form) == 0) return false;
  } else if (!platform.set_window_property(window, SavedProcedureName(above).c_str(), saved)) {
    return false;
  }
  platform.remove_window_property(window, SavedProcedureName(hook).c_str());
  return true;
}

// False while the window stays hooked. A window without the property is
// hooked no more: its WM_DESTROY ended the hook, or it is gone.
bool give_back(Platform& platform, WindowHandle window) {
  for (const TextForm form : {TextForm::kAnsi, TextForm::kWide}) {
    const WindowProcedure saved = saved_procedure(platform, window, trampoline(platform, form));
    if (saved != 0) return end_hook(platform, window, form, saved);
  }
  return true;
}

bool is_hooked(Platform& platform, WindowHandle window) {
  return saved_procedure(platform, window, platform.hook_procedure()) != 0 ||
         saved_procedure(platform, window, platform.hook_procedure_wide()) != 0;
}

// The handler behind the platform's trampolines. It is plain static data, not
// part of the module object, because a window left hooked at unload still
// sends its messages through it; it answers from the windows' own properties.
class SavedProcedureForwarder final : public WindowMessageHandler {
 public:
  void serve(Platform& platform) {
    platform_ = &platform;
    pinned_ = false;
    platform.set_hook_handler(this);
  }

  MessageResult handle_message(TextForm form, WindowHandle window, std::uint32_t message,
                               std::uintptr_t wparam, std::intptr_t lparam) override {
    Platform& platform = *platform_;
    const WindowProcedure hook = trampoline(platform, form);
    const WindowProcedure saved = saved_procedure(platform, window, hook);
    if (saved == 0) return pass_on_unhooked(form, window, message, wparam, lparam);
    // A procedure of the host's over the hook calls it by its address, so
    // the module's code must outlive any unload. Pinning now, not at unload:
    // a loader may already have decided to unmap the image when it announces
    // the unload. Neither another copy's hook over this one, nor a window
    // given back by another thread while this message came in, is such a
    // procedure.
    if (!pinned_.load(std::memory_order_relaxed)) {
      const WindowProcedure current = procedure_of(platform, window, form);
      if (current != hook && current != saved && hook_over(platform, window, form, hook) == 0) {
        platform.pin_module();
        pinned_.store(true, std::memory_order_relaxed);
      }
    }
    if (message == win32::kWmDestroy) {
      end_hook(platform, window, form, saved);
    } else if (message == win32::kWmNcDestroy) {
      // The window's last message, reaching the hook only when a procedure
      // over it kept the hook at WM_DESTROY.
      platform.remove_window_property(window, SavedProcedureName(hook).c_str());
    }
    return pass_on(platform, form, saved, window, message, wparam, lparam);
  }

 private:
  // The message came in while another thread gave the window back (or it was
  // given back before the host's own subclass passed the message on): the
  // window has its previous procedure again, which is where the message
  // goes. Hooked again meanwhile, it has the property once more.
  MessageResult pass_on_unhooked(TextForm form, WindowHandle window, std::uint32_t message,
                                 std::uintptr_t wparam, std::intptr_t lparam) {
    Platform& platform = *platform_;
    const WindowProcedure hook = trampoline(platform, form);
    for (int attempt = 0; attempt < 4; ++attempt) {
      const WindowProcedure current = procedure_of(platform, window, form);
      if (current == 0) return 0;
      if (current != hook) return pass_on(platform, form, current, window, message, wparam, lparam);
      const WindowProcedure saved = saved_procedure(platform, window, hook);
      if (saved != 0) return pass_on(platform, form, saved, window, message, wparam, lparam);
    }
    return 0;
  }

  Platform* platform_ = nullptr;
  std::atomic<bool> pinned_{false};  // messages come on the windows' threads
};

constinit SavedProcedureForwarder forwarder;

}  // namespace

WindowHook::WindowHook(Platform& platform) : platform_(platform) { forwarder.serve(platform); }

WindowHook::~WindowHook() {
  std::erase_if(hooked_, [this](WindowHandle window) { return give_back(platform_, window); });
  if (!hooked_.empty()) {
    platform_.pin_module();
    return;
  }
  // Nothing calls the trampolines any more: what they hold goes back.
  platform_.set_hook_handler(nullptr);
}

void WindowHook::set_parent_window(WindowHandle window) {
  std::erase_if(hooked_, [&](WindowHandle hooked) {
    return hooked != window && give_back(platform_, hooked);
  });
  // Hooking a hooked window again would save the hook as its own predecessor,
  // and its messages would come round to it without end.
  if (!is_hooked(platform_, window) && !hook(window)) return;
  if (std::find(hooked_.begin(), hooked_.end(), window) == hooked_.end()) hooked_.push_back(window);
}

// The window carries its previous procedure before the hook takes its place:
// the window's thread may pass it a message at once.
bool WindowHook::hook(WindowHandle window) {
  const TextForm form = platform_.is_window_unicode(window) ? TextForm::kWide : TextForm::kAnsi;
  const WindowProcedure hook = trampoline(platform_, form);
  const SavedProcedureName name(hook);
  const WindowProcedure current = procedure_of(platform_, window, form);
  if (current == 0 || current == hook ||
      !platform_.set_window_property(window, name.c_str(), current)) {
    return false;
  }
  const WindowProcedure previous = replace_procedure(platform_, window, hook, form);
  if (previous == 0) {
    platform_.remove_window_property(window, name.c_str());
    return false;
  }
  // The window's own thread changed its procedure in between.
  if (previous != current) platform_.set_window_property(window, name.c_str(), previous);
  return true;
}

}  // namespace korvex
