// A platform that forwards every call to a target platform, so that a subclass
// can observe or alter just the calls it overrides.
#pragma once

#include "platform/platform.h"
#include "platform/platform_calls.h"

namespace korvex {

class PlatformWrapper : public Platform {
 public:
  explicit PlatformWrapper(Platform& target) : target_(target) {}

#define KORVEX_FORWARD(enumerator, member, name, result, parameters, arguments, failure) \
  result member parameters override { return target_.member arguments; }
  KORVEX_PLATFORM_CALLS(KORVEX_FORWARD)
#undef KORVEX_FORWARD

 private:
  Platform& target_;
};

}  // namespace korvex
