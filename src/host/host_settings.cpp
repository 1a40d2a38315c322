#include "host/host_settings.h"

namespace korvex {
namespace {

std::int32_t wrapping_sum(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

}  // namespace

void HostSettings::draw(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
  position_ = {x, y};
  rectangle_ = {x, y, wrapping_sum(x, width), wrapping_sum(y, height)};
}

void EventNames::rename(std::string_view identifier, std::string_view new_name) {
  if (identifier == "ID_OnEnum") names_[0].assign(new_name);
}

}  // namespace korvex
