#include <iostream>
#include <memory>

#include "module/linked_exports.h"
#include "module/module.h"
#include "module_binding.h"
#include "platform/sim/machine_file.h"
#include "platform/sim/simulated_machine.h"
#include "platform/tracing_platform.h"

namespace korvex::host_tool {
namespace {

// The module's code is linked into this program, exports included, and runs
// on a simulated machine.
class LinkedBinding final : public HostBinding {
 public:
  explicit LinkedBinding(const BindingOptions& options) {
    if (!options.module_path.empty()) {
      throw HostError("--module needs the Windows korvex-host.exe");
    }
    if (!options.machine_path.empty()) {
      try {
        load_machine_file(options.machine_path, machine_);
      } catch (const MachineFileError& error) {
        throw HostError(error.what());
      }
    }
    Platform* platform = &machine_;
    if (options.trace) {
      tracing_ = std::make_unique<TracingPlatform>(machine_, std::cerr);
      platform = tracing_.get();
    }
    load_module(*platform);
  }
  ~LinkedBinding() override { unload_module(); }

  void* find(const char* name) const override { return linked_export(name); }

  // Asked of the machine directly: the trace shows the module's calls only.
  std::uint32_t drive_type(char letter) override {
    const char root[] = {letter, ':', '\\', '\0'};
    return machine_.get_drive_type(root);
  }

 private:
  SimulatedMachine machine_;
  std::unique_ptr<TracingPlatform> tracing_;
};

}  // namespace

std::unique_ptr<HostBinding> bind_module(const BindingOptions& options) {
  return std::make_unique<LinkedBinding>(options);
}

void use_plain_line_ends() {}

}  // namespace korvex::host_tool
