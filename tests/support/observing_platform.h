// The tests' view of the module's contact with the system: a platform that
// forwards every call to its target, records every use of every call with
// its arguments and result, and makes the uses a test chooses fail the way
// the system reports each failure. A fault names a call and the use of it,
// counting from 1, at which it starts failing: that use alone, or that one
// and every later one. A failing use does not reach the target; it leaves the
// fault's last-error code on the thread. Every call comes from the one table
// in platform/platform_calls.h.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <iterator>
#include <optional>
#include <string>
#include <tuple>
#include <type_traits>
#include <variant>
#include <vector>

#include "platform/platform_calls.h"

namespace korvex {

enum class PlatformCall {
#define KORVEX_ENUMERATOR(enumerator, ...) enumerator,
  KORVEX_PLATFORM_CALLS(KORVEX_ENUMERATOR)
#undef KORVEX_ENUMERATOR
};

// Whether the system can fail each call, in the table's order.
inline constexpr bool kCallCanFail[] = {
#define KORVEX_CAN_FAIL(enumerator, member, name, result, parameters, arguments, failure) \
  !std::is_same_v<decltype(failure), CannotFail>,
    KORVEX_PLATFORM_CALLS(KORVEX_CAN_FAIL)
#undef KORVEX_CAN_FAIL
};
inline constexpr std::size_t kPlatformCallCount = std::size(kCallCanFail);

// The calls the system can fail, in the table's order.
inline constexpr auto kCallsThatCanFail = [] {
  std::array<PlatformCall, std::count(std::begin(kCallCanFail), std::end(kCallCanFail), true)>
      calls{};
  std::size_t next = 0;
  for (std::size_t i = 0; i < kPlatformCallCount; ++i) {
    if (kCallCanFail[i]) calls[next++] = PlatformCall(i);
  }
  return calls;
}();

// The name of the system call, for messages.
const char* platform_call_name(PlatformCall call);

struct Fault {
  PlatformCall call;  // one of kCallsThatCanFail
  int use;            // the first use that fails, counting from 1
  bool from_then_on;  // every later use fails too; otherwise that use alone
  std::uint32_t error;
};

// An argument as the call was given it, one per parameter: a number (handles,
// codes, sizes, and the addresses of output buffers and handlers), a text
// (none for a null pointer), or the bytes of an input buffer.
using CallArgument =
    std::variant<std::uint64_t, std::optional<std::string>, std::vector<std::uint8_t>>;

// One use of a call, in the order the module made them.
struct PlatformUse {
  PlatformCall call;
  int number;   // among the uses of its call, counting from 1
  bool failed;  // made to fail: the target never saw it
  std::vector<CallArgument> arguments;
  std::uint64_t result = 0;  // as the module got it; 0 from a call that returns nothing

  std::uint64_t number_argument(std::size_t i) const { return std::get<std::uint64_t>(arguments[i]); }
  const std::optional<std::string>& text_argument(std::size_t i) const {
    return std::get<std::optional<std::string>>(arguments[i]);
  }
  const std::vector<std::uint8_t>& bytes_argument(std::size_t i) const {
    return std::get<std::vector<std::uint8_t>>(arguments[i]);
  }
};

// One CreateFileA and the DeviceIoControl requests sent on its handle.
struct DeviceOpen {
  std::string name;
  std::uint32_t access = 0;
  std::uint32_t share = 0;
  std::uint32_t disposition = 0;
  DeviceHandle handle = kInvalidDeviceHandle;  // as CreateFileA returned it
  bool closed = false;                         // CloseHandle was called on it
  struct Request {
    std::uint32_t code;
    std::vector<std::uint8_t> input;
    std::uint32_t output_size;
    bool answered = false;  // DeviceIoControl succeeded
  };
  std::vector<Request> requests;
};

struct MessageBoxShown {
  std::string text;
  std::optional<std::string> caption;
  std::uint32_t style = 0;
};

class ObservingPlatform final : public Platform {
 public:
  explicit ObservingPlatform(Platform& target) : target_(target) {}

  void inject(const Fault& fault);

  // Every use so far, failing or not.
  const std::deque<PlatformUse>& all_uses() const { return uses_; }
  // How often the call was made, failing or not.
  int uses(PlatformCall call) const;
  // Whether that use of the call, counting from 1, was made to fail.
  bool failed(PlatformCall call, int use) const;
  // Whether a use of the call whose first text (a root path, a device name)
  // is that one was made to fail.
  bool failed_on(PlatformCall call, const std::string& subject) const;
  // How many uses of the call were made to fail.
  int failures(PlatformCall call) const;

  // Views of the uses that tests read most, kept as the uses are made.
  std::vector<DeviceOpen> device_opens;
  std::vector<MessageBoxShown> message_boxes;
  // For each volume read, the mode the module's last successful
  // SetThreadErrorMode set; none while it has set none.
  std::vector<std::optional<std::uint32_t>> error_modes_during_volume_reads;
  // The same for the process's mode and the module's last SetErrorMode.
  std::vector<std::optional<std::uint32_t>> process_error_modes_during_volume_reads;

#define KORVEX_OBSERVE(enumerator, member, name, result, parameters, arguments, failure) \
  result member parameters override {                                                   \
    return observe(PlatformCall::enumerator, failure,                                    \
                   [&]() -> result { return target_.member arguments; },                 \
                   std::make_tuple arguments);                                           \
  }
  KORVEX_PLATFORM_CALLS(KORVEX_OBSERVE)
#undef KORVEX_OBSERVE

 private:
  template <typename Failure, typename Forward, typename... Arguments>
  std::invoke_result_t<Forward> observe(PlatformCall call, Failure failure, Forward forward,
                                        const std::tuple<Arguments...>& arguments) {
    using Result = std::invoke_result_t<Forward>;
    std::vector<CallArgument> captured;
    std::apply([&](const Arguments&... each) { capture(captured, each...); }, arguments);
    // A deque keeps the use where it is while the call makes uses of its own
    // (a window procedure that calls the platform).
    PlatformUse& use = begin_use(call, std::move(captured));
    if constexpr (!std::is_same_v<Failure, CannotFail>) {
      if (use.failed) {
        if constexpr (std::is_void_v<Result>) {
          end_use(use, 0);
          return;
        } else {
          end_use(use, number_of(Result(failure)));
          return Result(failure);
        }
      }
    }
    if constexpr (std::is_void_v<Result>) {
      forward();
      end_use(use, 0);
    } else {
      const Result result = forward();
      end_use(use, number_of(result));
      return result;
    }
  }

  template <typename Value>
  static std::uint64_t number_of(Value value) {
    if constexpr (std::is_pointer_v<Value>) {
      return reinterpret_cast<std::uintptr_t>(value);
    } else {
      return static_cast<std::uint64_t>(value);
    }
  }

  static void capture(std::vector<CallArgument>&) {}
  // An input buffer is followed by its size: its bytes are kept, as the call
  // may write its output over them.
  template <typename... Rest>
  static void capture(std::vector<CallArgument>& into, const void* input, std::uint32_t size,
                      const Rest&... rest) {
    const auto* bytes = static_cast<const std::uint8_t*>(input);
    into.emplace_back(std::vector<std::uint8_t>(bytes, bytes + size));
    into.emplace_back(std::uint64_t{size});
    capture(into, rest...);
  }
  template <typename First, typename... Rest>
  static void capture(std::vector<CallArgument>& into, const First& first, const Rest&... rest) {
    if constexpr (std::is_same_v<First, const char*>) {
      into.emplace_back(first == nullptr ? std::nullopt : std::optional<std::string>(first));
    } else {
      into.emplace_back(number_of(first));
    }
    capture(into, rest...);
  }

  // Records the use and whether it is to fail; a failing one leaves the
  // fault's code as the last error.
  PlatformUse& begin_use(PlatformCall call, std::vector<CallArgument> arguments);
  // Records the result and brings the views up to date.
  void end_use(PlatformUse& use, std::uint64_t result);
  // The open, not yet closed, that holds this handle; nullptr for none.
  DeviceOpen* open_holding(DeviceHandle device);

  Platform& target_;
  std::vector<Fault> faults_;
  std::deque<PlatformUse> uses_;
  std::array<int, kPlatformCallCount> use_counts_{};
  std::optional<std::uint32_t> error_mode_;
  std::optional<std::uint32_t> process_error_mode_;
};

}  // namespace korvex
