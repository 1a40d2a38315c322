#include "host/trigger_word.h"

#include <gtest/gtest.h>

#include "observing_platform.h"
#include "platform/sim/simulated_machine.h"

namespace korvex::tests {
namespace {

TEST(TriggerWord, OnlyTheExactWord) {
  struct Case {
    const char* text;
    bool trigger;
  };
  for (const Case& c : {Case{"Quex", true}, Case{"quex", false}, Case{"QUEX", false},
                        Case{"Quex ", false}, Case{" Quex", false}, Case{"Quexx", false},
                        Case{"Que", false}, Case{"", false}}) {
    EXPECT_EQ(is_trigger_word(c.text), c.trigger) << c.text;
  }
}

TEST(TriggerWord, ThePraiseHasItsTextNoCaptionAndComesToTheForeground) {
  SimulatedMachine machine;
  ObservingPlatform recorder(machine);
  show_praise(recorder);
  ASSERT_EQ(recorder.message_boxes.size(), 1u);
  const MessageBoxShown& box = recorder.message_boxes[0];
  EXPECT_EQ(box.text, std::string("\xCC\xE0\xEB\xE0\xE4\xF6\xE0\x21\x20\x3A\x29", 11));
  EXPECT_FALSE(box.caption.has_value());
  EXPECT_EQ(box.style, 0x10000u);
}

}  // namespace
}  // namespace korvex::tests
