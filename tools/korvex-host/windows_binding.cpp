#include <memory>

#include "module_binding.h"
#include "platform/win32/library_loader.h"

namespace korvex::host_tool {
namespace {

class DllBinding final : public ModuleBinding {
 public:
  explicit DllBinding(const std::string& path) : library_(path) {
    if (!library_.loaded()) {
      throw HostError("cannot load module " + path + " (error " +
                      std::to_string(library_.load_error()) + ")");
    }
  }
  void* find(const char* name) override { return library_.find(name); }

 private:
  LoadedLibrary library_;
};

}  // namespace

std::unique_ptr<ModuleBinding> bind_module(const BindingOptions& options) {
  if (!options.machine_path.empty()) throw HostError("--machine needs the native korvex-host");
  if (options.trace) throw HostError("--trace needs the native korvex-host");
  use_binary_stdout();
  const std::string path =
      options.module_path.empty() ? program_directory() + "Korvex.dll" : options.module_path;
  return std::make_unique<DllBinding>(path);
}

}  // namespace korvex::host_tool
