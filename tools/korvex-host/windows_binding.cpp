#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

#include <memory>

#include "library_loader.h"
#include "module_binding.h"

namespace korvex::host_tool {
namespace {

// Korvex.dll, loaded as a host loads it, on the machine korvex-host runs on.
class DllBinding final : public HostBinding {
 public:
  explicit DllBinding(const std::string& path) : library_(path) {}

  const LoadedLibrary& library() const { return library_; }
  void* find(const char* name) const override { return library_.find(name); }

  std::uint32_t drive_type(char letter) override {
    const char root[] = {letter, ':', '\\', '\0'};
    return GetDriveTypeA(root);
  }

 private:
  LoadedLibrary library_;
};

}  // namespace

std::unique_ptr<HostBinding> bind_module(const BindingOptions& options) {
  if (!options.machine_path.empty()) throw HostError("--machine needs the native korvex-host");
  if (options.trace) throw HostError("--trace needs the native korvex-host");
  const std::string path =
      options.module_path.empty() ? program_directory() + "Korvex.dll" : options.module_path;
  auto binding = std::make_unique<DllBinding>(path);
  if (!binding->library().loaded()) {
    throw HostError("cannot load module " + path + " (error " +
                    std::to_string(binding->library().load_error()) + ")");
  }
  return binding;
}

void use_plain_line_ends() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace korvex::host_tool
