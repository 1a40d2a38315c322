// The exported procedures: cdecl, plain names, one line each into the loaded
// module. No exception crosses this boundary. This file must not see
// windows.h, whose GetDriveType and GetFreeSpace macros would rename exports.
#include <cstdint>
#include <utility>

#include "host/module.h"

namespace {

template <typename Result, typename Call>
Result answer(Result fallback, Call&& call) noexcept {
  korvex::Module* module = korvex::loaded_module();
  if (module == nullptr) return fallback;
  try {
    return std::forward<Call>(call)(*module);
  } catch (...) {
    return fallback;
  }
}

template <typename Call>
void run(Call&& call) noexcept {
  answer(0, [&](korvex::Module& m) { std::forward<Call>(call)(m); return 0; });
}

}  // namespace

#define KORVEX_EXPORT extern "C" __attribute__((visibility("default")))

KORVEX_EXPORT void SetData(std::int32_t value) { run([&](auto& m) { m.host.set_data(value); }); }
KORVEX_EXPORT std::int32_t GetData() { return answer(0, [](auto& m) { return m.host.get_data(); }); }
KORVEX_EXPORT void SetFile(const char* text) { run([&](auto& m) { m.host.set_file(text); }); }
KORVEX_EXPORT const char* GetFile() { return answer("", [](auto& m) { return m.host.get_file(); }); }
KORVEX_EXPORT const char* GetInfo() { return korvex::HostInterface::info_text(); }
KORVEX_EXPORT const char* Copyright() { return korvex::HostInterface::copyright_text(); }
KORVEX_EXPORT void RenameEvent() { run([](auto& m) { m.events.rename(); }); }
// Nothing on the way from here to the module's read of the last error may
// touch it: the code asked about is the host's, or the module's last export's.
KORVEX_EXPORT void GetErrorMessage() { run([](auto& m) { m.host.get_error_message(); }); }
KORVEX_EXPORT void SetPath(const char* path) { run([&](auto& m) { m.settings.set_path(path); }); }
KORVEX_EXPORT void SetParentWindow(korvex::WindowHandle window) {
  run([&](auto& m) { m.window_hook.set_parent_window(window); });
}
// The first argument carries nothing the module uses.
KORVEX_EXPORT void Draw(std::int32_t, std::int32_t x, std::int32_t y, std::int32_t width,
                        std::int32_t height) {
  run([&](auto& m) { m.settings.draw(x, y, width, height); });
}
