// The module's 51 exports as a host sees them: name and calling shape.
#pragma once

#include <string_view>

namespace korvex::host_tool {

enum class Arguments { kNone, kInteger, kText, kWindow, kFiveIntegers };
enum class Returns { kNothing, kNumber, kString };

struct ExportShape {
  std::string_view name;
  Arguments arguments;
  Returns returns;
};

// nullptr for a name that is not one of the module's exports.
const ExportShape* find_export(std::string_view name);

}  // namespace korvex::host_tool
