// Times Korvex.dll's ListDrives and GetHddInfo against the same Win32 calls
// made directly, in alternating blocks so that both see the same machine, and
// prints the time of each and their ratio. The direct calls are the ones the
// module makes, in its order: the module's overhead is the ratio's excess
// over 1.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "library_loader.h"
#include "module_caller.h"

namespace {

using Clock = std::chrono::steady_clock;

// The thread error mode calls exist from Windows 7 on; looked up as the module does.
using GetThreadErrorModeFunction = DWORD(WINAPI*)();
using SetThreadErrorModeFunction = BOOL(WINAPI*)(DWORD, LPDWORD);
const auto get_thread_error_mode = reinterpret_cast<GetThreadErrorModeFunction>(
    reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetThreadErrorMode")));
const auto set_thread_error_mode = reinterpret_cast<SetThreadErrorModeFunction>(
    reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetThreadErrorMode")));

int list_drives_directly() {
  DWORD previous = 0;
  const bool quiet = get_thread_error_mode != nullptr && set_thread_error_mode != nullptr &&
                     set_thread_error_mode(get_thread_error_mode() | SEM_FAILCRITICALERRORS,
                                           &previous);
  int count = 0;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const char root[] = {letter, ':', '\\', '\0'};
    if (GetDriveTypeA(root) == DRIVE_NO_ROOT_DIR) continue;
    char label[MAX_PATH];
    char file_system[MAX_PATH];
    DWORD serial = 0, component = 0, flags = 0;
    if (!GetVolumeInformationA(root, label, MAX_PATH, &serial, &component, &flags, file_system,
                               MAX_PATH)) {
      continue;
    }
    ULARGE_INTEGER available{}, total{};
    GetDiskFreeSpaceExA(root, &available, &total, nullptr);
    ++count;
  }
  if (quiet) set_thread_error_mode(previous, &previous);
  return count;
}

// One open, one request, one close, as each identify attempt makes them.
void ask_device(const char* name, DWORD access, DWORD code, DWORD input_size, DWORD output_size) {
  const HANDLE device = CreateFileA(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
  if (device == INVALID_HANDLE_VALUE) return;
  static unsigned char buffer[1024];
  DWORD returned = 0;
  DeviceIoControl(device, code, buffer, input_size, buffer, output_size, &returned, nullptr);
  CloseHandle(device);
}

// Disk 0 as the module asks it on the NT family when no attempt gives a
// serial: the SCSI port and the physical drive by miniport, then the ATA
// pass-through and the storage property query.
void identify_disk_directly() {
  constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
  ask_device("\\\\.\\Scsi0:", kReadWrite, 0x4D008, 572, 572);
  ask_device("\\\\.\\PhysicalDrive0", kReadWrite, 0x4D008, 572, 572);
  ask_device("\\\\.\\PhysicalDrive0", kReadWrite, 0x4D02C, 552, 552);
  ask_device("\\\\.\\PhysicalDrive0", 0, 0x2D1400, 12, 1024);
  GetLastError();
}

// The median time of one call in each block of calls. A block lasts about
// 20 ms, however long one call takes (a drive walk under Wine can take 20).
struct Timing {
  double module_us;
  double direct_us;
};

double seconds_of(const std::function<void()>& call, int calls) {
  const Clock::time_point start = Clock::now();
  for (int i = 0; i < calls; ++i) call();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

Timing alternate(const std::function<void()>& module, const std::function<void()>& direct) {
  constexpr int kBlocks = 15;
  constexpr double kBlockSeconds = 0.02;
  const double one_call = std::max(seconds_of(module, 1), seconds_of(direct, 1));
  const int calls = std::clamp(static_cast<int>(kBlockSeconds / one_call), 1, 10000);
  std::vector<double> module_times, direct_times;
  for (int i = 0; i < kBlocks; ++i) {
    module_times.push_back(seconds_of(module, calls) * 1e6 / calls);
    direct_times.push_back(seconds_of(direct, calls) * 1e6 / calls);
  }
  const auto median = [](std::vector<double>& times) {
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
  };
  return {median(module_times), median(direct_times)};
}

}  // namespace

int main() {
  using namespace korvex::host_tool;
  const LoadedLibrary library(program_directory() + "Korvex.dll");
  if (!library.loaded()) {
    std::fprintf(stderr, "cannot load Korvex.dll (error %lu)\n", library.load_error());
    return 1;
  }
  const ModuleCaller module(library);
  std::printf("%-12s %12s %12s  %s\n", "export", "module us", "direct us", "ratio");
  const auto print = [](const char* name, const Timing& timing) {
    std::printf("%-12s %12.2f %12.2f  %.2f\n", name, timing.module_us, timing.direct_us,
                timing.module_us / timing.direct_us);
  };
  print("ListDrives", alternate([&] { module.call("ListDrives"); }, [] { list_drives_directly(); }));
  module.set_data(0);
  print("GetHddInfo", alternate([&] { module.call("GetHddInfo"); }, identify_disk_directly));
  return 0;
}
