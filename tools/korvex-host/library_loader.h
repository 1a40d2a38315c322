// Loads a DLL the way a host application does: LoadLibrary, GetProcAddress by
// name, FreeLibrary.
#pragma once

#include <string>

#include "module_caller.h"

namespace korvex::host_tool {

class LoadedLibrary : public ModuleBinding {
 public:
  explicit LoadedLibrary(const std::string& path);
  ~LoadedLibrary() override;
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  unsigned long load_error() const { return load_error_; }
  void* find(const char* name) const override;

 private:
  void* handle_ = nullptr;
  unsigned long load_error_ = 0;
};

// The folder of the running program, with a trailing backslash.
std::string program_directory();

}  // namespace korvex::host_tool
