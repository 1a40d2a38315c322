#include <fcntl.h>
#include <io.h>
#include <stdio.h>

#include <memory>

#include "library_loader.h"
#include "module_binding.h"

namespace korvex::host_tool {

std::unique_ptr<ModuleBinding> bind_module(const BindingOptions& options) {
  if (!options.machine_path.empty()) throw HostError("--machine needs the native korvex-host");
  if (options.trace) throw HostError("--trace needs the native korvex-host");
  const std::string path =
      options.module_path.empty() ? program_directory() + "Korvex.dll" : options.module_path;
  auto library = std::make_unique<LoadedLibrary>(path);
  if (!library->loaded()) {
    throw HostError("cannot load module " + path + " (error " +
                    std::to_string(library->load_error()) + ")");
  }
  return library;
}

void use_plain_line_ends() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace korvex::host_tool
