#include <gtest/gtest.h>

#include "host/module.h"
#include "platform/sim/simulated_machine.h"

namespace korvex {
namespace {

TEST(TriggerWord, OnlyTheExactWordShowsTheBoxAndEveryTextIsPushed) {
  struct Case {
    const char* text;
    bool shows;
  };
  for (const Case& c : {Case{"Quex", true}, Case{"quex", false}, Case{"QUEX", false},
                        Case{"Quex ", false}, Case{" Quex", false}, Case{"Quexx", false},
                        Case{"Que", false}, Case{"", false}, Case{nullptr, false}}) {
    SimulatedMachine machine;
    Module module{machine};
    module.host.set_file(c.text);
    EXPECT_EQ(machine.message_boxes.size(), c.shows ? 1u : 0u) << (c.text ? c.text : "null");
    EXPECT_EQ(module.exchange.text_slot(0), c.text ? c.text : "");
  }
}

TEST(TriggerWord, TheBoxHasThePraiseNoCaptionAndComesToTheForeground) {
  SimulatedMachine machine;
  Module module{machine};
  module.host.set_file("Quex");
  ASSERT_EQ(machine.message_boxes.size(), 1u);
  const MessageBoxShown& box = machine.message_boxes[0];
  EXPECT_EQ(box.text, std::string("\xCC\xE0\xEB\xE0\xE4\xF6\xE0\x21\x20\x3A\x29", 11));
  EXPECT_FALSE(box.caption.has_value());
  EXPECT_EQ(box.style, 0x10000u);
}

}  // namespace
}  // namespace korvex
