// The module's number-to-text against the standard library's two ways to
// write 15 significant digits, on the same size-like values in one run.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <string>
#include <vector>

#include "size_like_values.h"
#include "support/decimal_text.h"
#include "support/extended_precision.h"

namespace korvex::bench {
namespace {

constexpr std::size_t kValueCount = 16384;
constexpr std::uint64_t kSeed = 0x4B6F72766578;
// Room for any text of a size-like value, and for the standard library's.
constexpr std::size_t kRoom = 64;

const std::vector<double>& values() {
  static const std::vector<double> kValues = tests::size_like_values(kValueCount, kSeed);
  return kValues;
}

void count_values(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(values().size()));
}

// The scope is held around the whole loop: its own cost is a benchmark of its own.
void module_append(benchmark::State& state) {
  ExtendedPrecision precision;
  std::string text;
  text.reserve(kRoom);
  for (auto _ : state) {
    for (const double value : values()) {
      text.clear();
      append_number_text(value, text);
      benchmark::DoNotOptimize(text);
    }
  }
  count_values(state);
}
BENCHMARK(module_append)->Name("number_text/module_append");

void module_string(benchmark::State& state) {
  ExtendedPrecision precision;
  for (auto _ : state) {
    for (const double value : values()) {
      std::string text = number_to_text(value);
      benchmark::DoNotOptimize(text);
    }
  }
  count_values(state);
}
BENCHMARK(module_string)->Name("number_text/module_string");

void standard_to_chars(benchmark::State& state) {
  char text[kRoom];
  for (auto _ : state) {
    for (const double value : values()) {
      const auto result =
          std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
      benchmark::DoNotOptimize(result.ptr);
      benchmark::DoNotOptimize(text);
    }
  }
  count_values(state);
}
BENCHMARK(standard_to_chars)->Name("number_text/to_chars");

void standard_snprintf(benchmark::State& state) {
  char text[kRoom];
  for (auto _ : state) {
    for (const double value : values()) {
      benchmark::DoNotOptimize(std::snprintf(text, sizeof text, "%.15g", value));
      benchmark::DoNotOptimize(text);
    }
  }
  count_values(state);
}
BENCHMARK(standard_snprintf)->Name("number_text/snprintf");

}  // namespace
}  // namespace korvex::bench
