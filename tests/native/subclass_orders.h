// The orders in which a host may subclass its window around the module's
// hook, with what each must end in: one table for the simulated machine's
// tests and for the real DLL's under Wine, so that the two cannot drift.
#pragma once

#include <vector>

namespace korvex::tests {

enum class SubclassStep {
  kHookA,                // SetParentWindow(a)
  kHookB,                // SetParentWindow(b)
  kHookRefusedHandle,    // SetParentWindow with a handle that names no window
  kSubclassA,            // the host puts its own procedure over a's
  kMessageA,             // a message to a
  kRemoveSubclassFromA,  // the host puts back the procedure its subclass replaced
  kUnload,               // the host frees the module
  kLoadAgain,            // and loads it again
};

// After the steps, a and b are sent a probe each and the module is freed.
// The outcome says, for each window, who the probe reached (H for the host's
// subclass, then the letters of the own procedures that got it, ! for a
// wrong answer) and what the window's procedure then is (its own letter, H,
// or k for the hook); then whether the module stayed in memory ("kept": it
// pinned itself) or was "freed".
struct SubclassOrder {
  const char* name;
  std::vector<SubclassStep> steps;
  const char* outcome;
};

// Each hooked window's messages reach that window's own procedure once, past
// whatever the host put over the hook; a window is given back only while the
// hook is its procedure, and the module pins itself as soon as a message
// reaches the hook through a procedure put over it, or when it unloads with a
// window it could not give back.
inline const std::vector<SubclassOrder> kSubclassOrders = [] {
  using enum SubclassStep;
  return std::vector<SubclassOrder>{
      {"hooked", {kHookA}, "a: a k, b: b b, freed"},
      {"hooked twice", {kHookA, kHookA}, "a: a k, b: b b, freed"},
      {"hooked again under the host's subclass", {kHookA, kSubclassA, kHookA},
       "a: Ha H, b: b b, kept"},
      {"moved to b", {kHookA, kHookB}, "a: a a, b: b k, freed"},
      {"moved to b from under the host's subclass", {kHookA, kSubclassA, kHookB},
       "a: Ha H, b: b k, kept"},
      {"moved to b, then the host's subclass removed",
       {kHookA, kSubclassA, kHookB, kRemoveSubclassFromA}, "a: a k, b: b k, freed"},
      {"moved to b, the host's subclass removed, b named again",
       {kHookA, kSubclassA, kHookB, kRemoveSubclassFromA, kHookB}, "a: a a, b: b k, freed"},
      {"a handle the system refuses", {kHookA, kHookRefusedHandle}, "a: a a, b: b b, freed"},
      {"unloaded", {kHookA, kUnload}, "a: a a, b: b b, freed"},
      {"unloaded after the host's subclass came and went",
       {kHookA, kSubclassA, kRemoveSubclassFromA, kUnload}, "a: a a, b: b b, freed"},
      // Pinned by the message, the module is not unloaded at all: a stays
      // hooked, and forwarding.
      {"unloaded after a message came through the host's subclass, which then went",
       {kHookA, kSubclassA, kMessageA, kRemoveSubclassFromA, kUnload}, "a: a k, b: b b, kept"},
      {"unloaded under the host's subclass", {kHookA, kSubclassA, kUnload},
       "a: Ha H, b: b b, kept"},
      {"unloaded under the host's subclass, which the host then removes",
       {kHookA, kSubclassA, kUnload, kRemoveSubclassFromA}, "a: a k, b: b b, kept"},
      {"unloaded with a under the host's subclass and b hooked",
       {kHookA, kSubclassA, kHookB, kUnload}, "a: Ha H, b: b b, kept"},
      // Loaded again, the pinned image starts a fresh module, which finds a
      // still hooked.
      {"loaded again after an unload under the host's subclass, a named again",
       {kHookA, kSubclassA, kUnload, kLoadAgain, kHookA}, "a: Ha H, b: b b, kept"},
      {"loaded again, the host's subclass removed, b named",
       {kHookA, kSubclassA, kUnload, kLoadAgain, kRemoveSubclassFromA, kHookB},
       "a: a k, b: b k, kept"},
  };
}();

}  // namespace korvex::tests
