// Runs the benchmarks and prints one table: the time per item of each (a
// value converted, a scope entered and left), the median of the repetitions
// when there are several, and the ratio to a baseline where one is named.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace korvex::bench {
namespace {

struct Ratio {
  std::string_view row;
  std::string_view baseline;
};

// Rows also shown as a multiple of another row of the same run.
constexpr Ratio kRatios[] = {
    {"number_text/module_append", "number_text/to_chars"},
    {"number_text/module_string", "number_text/to_chars"},
};

class TableReporter : public benchmark::BenchmarkReporter {
 public:
  bool ReportContext(const Context&) override { return true; }

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      const bool wanted = run.repetitions > 1
                              ? run.run_type == Run::RT_Aggregate && run.aggregate_name == "median"
                              : run.run_type == Run::RT_Iteration;
      const auto items = run.counters.find("items_per_second");
      if (!wanted || items == run.counters.end() || items->second.value <= 0) continue;
      rows_.push_back({run.run_name.str(), 1e9 / items->second.value});
    }
  }

  void Finalize() override {
    std::printf("%-40s %10s  %s\n", "benchmark", "ns/item", "ratio");
    for (const Row& row : rows_) {
      std::printf("%-40s %10.1f", row.name.c_str(), row.nanoseconds);
      for (const Ratio& ratio : kRatios) {
        const Row* baseline = find(ratio.baseline);
        if (ratio.row == row.name && baseline != nullptr) {
          std::printf("  %.2f x %s", row.nanoseconds / baseline->nanoseconds,
                      std::string(ratio.baseline).c_str());
        }
      }
      std::printf("\n");
    }
  }

 private:
  struct Row {
    std::string name;
    double nanoseconds;
  };

  const Row* find(std::string_view name) const {
    for (const Row& row : rows_) {
      if (row.name == name) return &row;
    }
    return nullptr;
  }

  std::vector<Row> rows_;
};

}  // namespace
}  // namespace korvex::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  korvex::bench::TableReporter table;
  benchmark::RunSpecifiedBenchmarks(&table);
  benchmark::Shutdown();
  return 0;
}
