// Every export called through its exported function on a simulated machine
// with a drive at every letter and a disk that answers, as a host calls them
// in a loop: the time of a call and the heap allocations it makes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

#include "heap_counter.h"
#include "identify/identify_record.h"
#include "module/export_table.h"
#include "module/exports.h"
#include "module/linked_exports.h"
#include "module/module.h"
#include "platform/sim/simulated_machine.h"

namespace korvex::bench {
namespace {

// A machine such as a host meets: 26 drives with labels and sizes that do
// not divide evenly, and disk 0 answering on its SCSI port.
SimulatedMachine& machine() {
  static SimulatedMachine machine = [] {
    SimulatedMachine m;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      m.drives[letter] = {.label = "VOLUME " + std::string(1, letter),
                          .serial = 0xA4B3C2D1,
                          .total = 80026361856 + static_cast<std::uint64_t>(letter),
                          .free = 26843545600 + 3 * static_cast<std::uint64_t>(letter)};
    }
    IdentifySector sector{};
    const std::string model = "TEST DISK MODEL NUMBER 2000 WITH A LONG NAME";
    for (std::size_t i = 0; i < 40; ++i) sector[54 + (i ^ 1)] = static_cast<std::uint8_t>(model[i]);
    for (std::size_t i = 0; i < 20; ++i) sector[20 + i] = '0' + static_cast<std::uint8_t>(i % 10);
    m.devices["\\\\.\\Scsi0:"].sector = sector;
    m.messages[2] = "The system cannot find the file specified.\r\n";
    m.last_error = 2;
    return m;
  }();
  return machine;
}

// The module is loaded once and kept in the state a host leaves it in:
// drives listed, drive 0 selected, disk 0 asked, five places in kilobytes.
void load_once() {
  static const bool loaded = [] {
    load_module(machine());
    ListDrives();
    GetHddInfo();
    SetData(5);
    SetData(1);
    SetAlign();
    SetData(0);
    SelectDrive();
    return true;
  }();
  (void)loaded;
}

const std::string kPushedText(40, 'p');

// One call of the export with the arguments a host would give it. The
// argument-taking exports push; SetAlign and SelectDrive read the pushed 0.
void call(const ExportEntry& entry, void* address) {
  switch (entry.arguments) {
    case Arguments::kInteger: reinterpret_cast<void (*)(std::int32_t)>(address)(0); return;
    case Arguments::kText: reinterpret_cast<void (*)(const char*)>(address)(kPushedText.c_str()); return;
    case Arguments::kWindow: reinterpret_cast<void (*)(std::uintptr_t)>(address)(0); return;
    case Arguments::kFiveIntegers:
      reinterpret_cast<void (*)(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                std::int32_t)>(address)(0, 10, 20, 30, 40);
      return;
    case Arguments::kNone: break;
  }
  switch (entry.returns) {
    case Returns::kNumber:
      benchmark::DoNotOptimize(reinterpret_cast<std::int32_t (*)()>(address)());
      return;
    case Returns::kText:
      benchmark::DoNotOptimize(reinterpret_cast<const char* (*)()>(address)());
      return;
    case Returns::kNothing: reinterpret_cast<void (*)()>(address)(); return;
  }
}

void export_call(benchmark::State& state, const ExportEntry& entry) {
  load_once();
  void* address = linked_export(entry.name);
  // SetAlign keeps five places in kilobytes: slot 1 holds 5 and slot 0 1.
  const bool keeps_settings = entry.name == "SetAlign";
  if (keeps_settings) {
    SetData(5);
    SetData(1);
  }
  call(entry, address);  // the first answer may size the storage it reuses
  const std::uint64_t before = heap_allocations();
  for (auto _ : state) call(entry, address);
  state.counters["allocations"] = benchmark::Counter(
      static_cast<double>(heap_allocations() - before) / static_cast<double>(state.iterations()));
  state.SetItemsProcessed(state.iterations());
  if (keeps_settings) SetData(0);
}

// The window hook's export would hook nothing here; the others all run.
const bool registered = [] {
  for (const ExportEntry& entry : kExports) {
    if (entry.arguments == Arguments::kWindow) continue;
    benchmark::RegisterBenchmark(("exports/" + std::string(entry.name)).c_str(), export_call, entry);
  }
  return true;
}();

}  // namespace
}  // namespace korvex::bench
