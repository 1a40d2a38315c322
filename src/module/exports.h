// The exported procedures as C declarations, one for each line of the export
// table, each with the function type its calling shape gives. The shims'
// definitions must match them, so no shim can drift from the table. This
// header must not meet windows.h, whose GetDriveType and GetFreeSpace macros
// would rename two of the exports.
#pragma once

#include <cstdint>

#include "module/export_table.h"

namespace korvex {

template <Returns>
struct ReturnOf;
template <>
struct ReturnOf<Returns::kNothing> {
  using type = void;
};
template <>
struct ReturnOf<Returns::kNumber> {
  using type = std::int32_t;
};
template <>
struct ReturnOf<Returns::kText> {
  using type = const char*;
};

template <Arguments, typename Result>
struct FunctionOf;
template <typename Result>
struct FunctionOf<Arguments::kNone, Result> {
  using type = Result();
};
template <typename Result>
struct FunctionOf<Arguments::kInteger, Result> {
  using type = Result(std::int32_t);
};
template <typename Result>
struct FunctionOf<Arguments::kText, Result> {
  using type = Result(const char*);
};
template <typename Result>
struct FunctionOf<Arguments::kWindow, Result> {
  using type = Result(std::uintptr_t);
};
template <typename Result>
struct FunctionOf<Arguments::kFiveIntegers, Result> {
  using type = Result(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t);
};

// The function type of an export of this shape, cdecl as every export is.
template <Arguments A, Returns R>
using ExportFunction = typename FunctionOf<A, typename ReturnOf<R>::type>::type;

}  // namespace korvex

#define KORVEX_DECLARE_EXPORT(ordinal, name, arguments, returns) \
  extern "C" korvex::ExportFunction<korvex::Arguments::arguments, korvex::Returns::returns> name;
KORVEX_EXPORT_TABLE(KORVEX_DECLARE_EXPORT)
#undef KORVEX_DECLARE_EXPORT
