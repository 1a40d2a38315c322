// A text the module keeps in one of its cells (a text slot, the text result,
// the host path, an event name), with value semantics. A cell keeps its
// storage for the next text it is given, but only up to a small size: a
// one-time huge text from the host is given back as soon as a smaller one
// takes its place, instead of holding the host's memory until unload (a
// 32-bit host has little address space to lose), while everyday texts reuse
// their storage and the getters stay free of allocations.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace korvex {

class ModuleText {
 public:
  static constexpr std::size_t kKeptRoom = 4096;

  ModuleText() = default;
  ModuleText(std::string_view text) : text_(text) {}
  // A cell whose storage is kept at room bytes from the start.
  static ModuleText with_room(std::size_t room) {
    ModuleText text;
    text.room_ = std::min(room, kKeptRoom);
    text.text_.reserve(text.room_);
    return text;
  }

  void assign(std::string_view text) {
    if (text_.capacity() > kKeptRoom && text.size() <= kKeptRoom) {
      std::string smaller;
      smaller.reserve(std::max(text.size(), room_));
      smaller.assign(text);
      text_.swap(smaller);
    } else {
      text_.assign(text);
    }
  }

  // NUL-terminated, so c_str() is a valid C string for the host until the
  // cell changes.
  const std::string& str() const { return text_; }

 private:
  std::string text_;
  std::size_t room_ = 0;
};

}  // namespace korvex
