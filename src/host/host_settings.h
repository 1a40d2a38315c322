// What the host tells the module about itself besides its window: a path and
// the area it would have the module draw in. The module draws nothing and
// reads neither; it keeps the last values the host gave.
#pragma once

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

}  // namespace korvex
