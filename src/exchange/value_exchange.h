// The cells through which host and module exchange values: two five-slot
// stacks the host pushes onto, and two result cells it reads back. Only the
// export layer touches them: it reads the slots a query needs and writes the
// query's answer.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "exchange/module_text.h"

namespace korvex {

class ValueExchange {
 public:
  static constexpr int kSlots = 5;
  // Room for the longest text any getter writes (a volume label or
  // file-system name), so that answers reuse the text result's storage.
  static constexpr std::size_t kTextResultRoom = 260;

  // Pushes: slot 0 receives the new value, the oldest value in slot 4 is lost.
  // A text is copied into the storage of the text it pushes out, which the
  // slot keeps only up to ModuleText::kKeptRoom.
  void push_data(std::int32_t value);
  void push_text(std::string_view text);

  // Slot 0 is the value pushed last. Reading never removes anything.
  std::int32_t data_slot(int slot) const { return data_[static_cast<std::size_t>(slot)]; }
  const std::string& text_slot(int slot) const {
    return texts_[static_cast<std::size_t>(slot)].str();
  }

  std::int32_t result() const { return result_; }
  void set_result(std::int32_t value) { result_ = value; }

  const std::string& text_result() const { return text_result_.str(); }
  void set_text_result(std::string_view text) { text_result_.assign(text); }

 private:
  std::array<std::int32_t, kSlots> data_{};
  // The text result is released before the text stack at unload.
  std::array<ModuleText, kSlots> texts_{};
  std::int32_t result_ = 0;
  ModuleText text_result_ = ModuleText::with_room(kTextResultRoom);
};

}  // namespace korvex
