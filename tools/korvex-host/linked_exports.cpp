#include "linked_exports.h"

#include "module/exports.h"

namespace korvex::host_tool {
namespace {

struct LinkedExport {
  std::string_view name;
  void* address;
};

#define KORVEX_LINKED_EXPORT(ordinal, name, arguments, returns) \
  LinkedExport{#name, reinterpret_cast<void*>(&::name)},
const LinkedExport kLinkedExports[] = {KORVEX_EXPORT_TABLE(KORVEX_LINKED_EXPORT)};
#undef KORVEX_LINKED_EXPORT

}  // namespace

void* find_linked_export(std::string_view name) {
  for (const LinkedExport& linked : kLinkedExports) {
    if (linked.name == name) return linked.address;
  }
  return nullptr;
}

}  // namespace korvex::host_tool
