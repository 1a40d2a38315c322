// What the host tells the module about itself besides its window: a path, the
// area it would have the module draw in, and new names for its events. The
// module draws nothing and reads none of them; it keeps the last values the
// host gave.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "exchange/module_text.h"

namespace korvex {

struct DrawingPosition {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

struct DrawingRectangle {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

class HostSettings {
 public:
  void set_path(std::string_view path) { path_.assign(path); }
  // Right and bottom wrap around at 32 bits, as the host's own arithmetic would.
  void draw(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

  const std::string& path() const { return path_.str(); }
  DrawingPosition position() const { return position_; }
  DrawingRectangle rectangle() const { return rectangle_; }

 private:
  ModuleText path_;
  DrawingPosition position_;
  DrawingRectangle rectangle_;
};

// The names of the host's two events. The host may rename the first one by
// pushing its identifier and then the new name onto the text stack.
class EventNames {
 public:
  static constexpr int kEvents = 2;

  // Only the identifier "ID_OnEnum", exactly, is recognised: it renames the
  // first event; anything else changes nothing.
  void rename(std::string_view identifier, std::string_view new_name);

  const std::string& name(int index) const { return names_[static_cast<std::size_t>(index)].str(); }

 private:
  std::array<ModuleText, kEvents> names_{ModuleText("OnEnum"), ModuleText("OnProgress")};
};

}  // namespace korvex
