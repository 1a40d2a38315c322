#include "library_loader.h"

#include <windows.h>

namespace korvex::host_tool {

LoadedLibrary::LoadedLibrary(const std::string& path)
    : handle_(LoadLibraryA(path.c_str())), load_error_(handle_ == nullptr ? GetLastError() : 0) {}

LoadedLibrary::~LoadedLibrary() {
  if (handle_ != nullptr) FreeLibrary(static_cast<HMODULE>(handle_));
}

void* LoadedLibrary::find(const char* name) const {
  if (handle_ == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

std::string program_directory() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string directory(path, length);
  return directory.substr(0, directory.find_last_of("\\/") + 1);
}

}  // namespace korvex::host_tool
