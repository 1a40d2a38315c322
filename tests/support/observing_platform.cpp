#include "observing_platform.h"

#include <algorithm>
#include <stdexcept>

namespace korvex {
namespace {

std::size_t index(PlatformCall call) { return static_cast<std::size_t>(call); }

// The first text the use was given: the root path, device or property name.
std::optional<std::string> subject(const PlatformUse& use) {
  for (const CallArgument& argument : use.arguments) {
    if (const auto* text = std::get_if<std::optional<std::string>>(&argument)) return *text;
  }
  return std::nullopt;
}

}  // namespace

const char* platform_call_name(PlatformCall call) {
  static constexpr const char* kNames[] = {
#define KORVEX_NAME(enumerator, member, name, ...) name,
      KORVEX_PLATFORM_CALLS(KORVEX_NAME)
#undef KORVEX_NAME
  };
  return kNames[index(call)];
}

void ObservingPlatform::inject(const Fault& fault) {
  if (!kCallCanFail[index(fault.call)]) {
    throw std::invalid_argument(std::string("the system does not fail ") +
                                platform_call_name(fault.call));
  }
  faults_.push_back(fault);
}

int ObservingPlatform::uses(PlatformCall call) const { return use_counts_[index(call)]; }

bool ObservingPlatform::failed(PlatformCall call, int use) const {
  return std::any_of(uses_.begin(), uses_.end(), [&](const PlatformUse& made) {
    return made.call == call && made.number == use && made.failed;
  });
}

bool ObservingPlatform::failed_on(PlatformCall call, const std::string& subject_text) const {
  return std::any_of(uses_.begin(), uses_.end(), [&](const PlatformUse& made) {
    return made.call == call && made.failed && subject(made) == subject_text;
  });
}

int ObservingPlatform::failures(PlatformCall call) const {
  return static_cast<int>(std::count_if(uses_.begin(), uses_.end(), [&](const PlatformUse& made) {
    return made.call == call && made.failed;
  }));
}

PlatformUse& ObservingPlatform::begin_use(PlatformCall call, std::vector<CallArgument> arguments) {
  const int number = ++use_counts_[index(call)];
  const auto fault = std::find_if(faults_.begin(), faults_.end(), [&](const Fault& f) {
    return f.call == call && (number == f.use || (f.from_then_on && number > f.use));
  });
  const bool failing = fault != faults_.end();
  if (failing) target_.set_last_error(fault->error);
  uses_.push_back({call, number, failing, std::move(arguments)});
  return uses_.back();
}

void ObservingPlatform::end_use(PlatformUse& use, std::uint64_t result) {
  use.result = result;
  switch (use.call) {
    case PlatformCall::kGetVolumeInformation:
      error_modes_during_volume_reads.push_back(error_mode_);
      process_error_modes_during_volume_reads.push_back(process_error_mode_);
      break;
    case PlatformCall::kSetErrorMode:
      process_error_mode_ = static_cast<std::uint32_t>(use.number_argument(0));
      break;
    case PlatformCall::kSetThreadErrorMode:
      if (result != 0) error_mode_ = static_cast<std::uint32_t>(use.number_argument(0));
      break;
    case PlatformCall::kCreateFile:
      device_opens.push_back({use.text_argument(0).value_or(""),
                              static_cast<std::uint32_t>(use.number_argument(1)),
                              static_cast<std::uint32_t>(use.number_argument(2)),
                              static_cast<std::uint32_t>(use.number_argument(3)),
                              static_cast<DeviceHandle>(result), false, {}});
      break;
    case PlatformCall::kDeviceIoControl:
      if (DeviceOpen* open = open_holding(static_cast<DeviceHandle>(use.number_argument(0)))) {
        open->requests.push_back({static_cast<std::uint32_t>(use.number_argument(1)),
                                  use.bytes_argument(2),
                                  static_cast<std::uint32_t>(use.number_argument(5)),
                                  result != 0});
      }
      break;
    case PlatformCall::kCloseHandle:
      if (DeviceOpen* open = open_holding(static_cast<DeviceHandle>(use.number_argument(0)))) {
        open->closed = true;
      }
      break;
    case PlatformCall::kMessageBox:
      message_boxes.push_back({use.text_argument(0).value_or(""), use.text_argument(1),
                               static_cast<std::uint32_t>(use.number_argument(2))});
      break;
    default:
      break;
  }
}

DeviceOpen* ObservingPlatform::open_holding(DeviceHandle device) {
  if (device == kInvalidDeviceHandle) return nullptr;
  for (DeviceOpen& open : device_opens) {
    if (open.handle == device && !open.closed) return &open;
  }
  return nullptr;
}

}  // namespace korvex
