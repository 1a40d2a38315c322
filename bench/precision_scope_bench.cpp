// Entering and leaving the x87 precision scope, for callers that need
// nothing restored and for callers whose flags the work changes.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "support/extended_precision.h"
#include "x87_flags.h"

namespace korvex::bench {
namespace {

using tests::clear_x87_flags;
using tests::raise_inexact;
using tests::raise_zero_divide;

constexpr std::uint16_t kHost53Bits = 0x027F;

enum class Caller { kWithoutFlags, kWithFlag };
enum class Work { kRaisesNothing, kRaisesNewFlag };

// The caller's control word and flags are set up once: the scope gives them
// back at every turn.
void precision_scope(benchmark::State& state, std::uint16_t control, Caller caller, Work work) {
  const std::uint16_t original = x87_control_word();
  clear_x87_flags();
  set_x87_control_word(control);
  if (caller == Caller::kWithFlag) raise_inexact();
  for (auto _ : state) {
    ExtendedPrecision precision;
    if (work == Work::kRaisesNewFlag) raise_zero_divide();
    benchmark::ClobberMemory();
  }
  clear_x87_flags();
  set_x87_control_word(original);
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK_CAPTURE(precision_scope, nothing_to_restore, ExtendedPrecision::kControlWord,
                  Caller::kWithFlag, Work::kRaisesNothing);
BENCHMARK_CAPTURE(precision_scope, host_53_bits, kHost53Bits, Caller::kWithFlag,
                  Work::kRaisesNothing);
BENCHMARK_CAPTURE(precision_scope, flags_to_clear, kHost53Bits, Caller::kWithoutFlags,
                  Work::kRaisesNewFlag);
BENCHMARK_CAPTURE(precision_scope, flags_to_restore, kHost53Bits, Caller::kWithFlag,
                  Work::kRaisesNewFlag);

// The work of the last two rows without a scope, its new flag cleared again
// each time: on some processors raising a flag the status word did not hold
// costs far more than the division itself.
void new_flag_without_scope(benchmark::State& state) {
  for (auto _ : state) {
    raise_zero_divide();
    clear_x87_flags();
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(new_flag_without_scope)->Name("precision_scope/new_flag_without_scope");

}  // namespace
}  // namespace korvex::bench
