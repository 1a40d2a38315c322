// What a fuzzer demands of every input: a broken rule stops the run with the
// rule's text, and libFuzzer keeps the input as a crash.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace korvex::fuzz {

inline void require(bool holds, const char* rule) {
  if (holds) return;
  std::fprintf(stderr, "broken: %s\n", rule);
  std::abort();
}

// A message for a person: printable ASCII only, whatever bytes the input held.
inline bool printable(std::string_view message) {
  for (const char c : message) {
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

}  // namespace korvex::fuzz
