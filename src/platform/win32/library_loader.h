// Loads a DLL the way a host application does: LoadLibrary, GetProcAddress by
// name, FreeLibrary. Used by the host program and the Windows-side tests.
#pragma once

#include <string>

namespace korvex {

class LoadedLibrary {
 public:
  explicit LoadedLibrary(const std::string& path);
  ~LoadedLibrary();
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  bool loaded() const { return handle_ != nullptr; }
  unsigned long load_error() const { return load_error_; }
  void* find(const char* name) const;

 private:
  void* handle_ = nullptr;
  unsigned long load_error_ = 0;
};

// The folder of the running program, with a trailing backslash.
std::string program_directory();

// Puts standard output in binary mode, so that "\n" is not written as CR LF.
void use_binary_stdout();

}  // namespace korvex
