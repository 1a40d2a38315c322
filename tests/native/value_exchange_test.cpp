#include "exchange/value_exchange.h"

#include <gtest/gtest.h>

#include <string>

#include "host/trigger_word.h"

namespace korvex::tests {
namespace {

TEST(ValueExchange, StartsWithZerosAndEmptyTexts) {
  const ValueExchange exchange;
  EXPECT_EQ(exchange.result(), 0);
  EXPECT_EQ(exchange.text_result(), "");
  for (int slot = 0; slot < ValueExchange::kSlots; ++slot) {
    EXPECT_EQ(exchange.data_slot(slot), 0);
    EXPECT_EQ(exchange.text_slot(slot), "");
  }
}

TEST(ValueExchange, SixPushesKeepTheNewestFive) {
  ValueExchange exchange;
  for (int value = 1; value <= 6; ++value) {
    exchange.push_data(value);
    exchange.push_text(std::to_string(value));
  }
  for (int slot = 0; slot < ValueExchange::kSlots; ++slot) {
    EXPECT_EQ(exchange.data_slot(slot), 6 - slot);
    EXPECT_EQ(exchange.text_slot(slot), std::to_string(6 - slot));
  }
}

TEST(ValueExchange, OnePushLeavesSlotOneAtZero) {
  ValueExchange exchange;
  exchange.push_data(7);
  EXPECT_EQ(exchange.data_slot(0), 7);
  EXPECT_EQ(exchange.data_slot(1), 0);
}

TEST(InfoText, HasThreeLinesStartingWithTheModuleName) {
  const std::string info = info_text();
  EXPECT_EQ(info.rfind("Korvex v1.0\r\n", 0), 0u);
  std::size_t pairs = 0;
  for (std::size_t at = info.find("\r\n"); at != std::string::npos; at = info.find("\r\n", at + 2)) {
    ++pairs;
  }
  EXPECT_EQ(pairs, 2u);
  EXPECT_EQ(info.find('\n', info.size() - 2), std::string::npos) << "no break after the last line";
  EXPECT_EQ(info_text(), info_text());
  const std::string copyright = copyright_text();
  EXPECT_EQ(copyright.find_first_of("\r\n"), std::string::npos);
  EXPECT_NE(copyright.find("example.org"), std::string::npos);
}

// A cell keeps its storage for the next text only up to a small size: a huge
// text that is replaced by a small one is given back at once.
TEST(ModuleText, GivesBackTheStorageOfAHugeTextOnceASmallerOneTakesItsPlace) {
  const std::string huge(1 << 20, 'x');
  struct Case {
    const char* name;
    std::size_t next_size;
    bool storage_given_back;
  };
  const Case cases[] = {
      {"empty", 0, true},
      {"small", 12, true},
      {"at the kept size", ModuleText::kKeptRoom, true},
      {"above the kept size, which reuses the storage", ModuleText::kKeptRoom + 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModuleText text;
    text.assign(huge);
    text.assign(std::string(c.next_size, 'y'));
    EXPECT_EQ(text.str(), std::string(c.next_size, 'y'));
    EXPECT_EQ(text.str().capacity() <= ModuleText::kKeptRoom, c.storage_given_back);
  }
}

TEST(ValueExchange, HugeTextsPushedOutOfEverySlotAreGivenBack) {
  ValueExchange exchange;
  const std::string huge(1 << 20, 'x');
  for (int i = 0; i < ValueExchange::kSlots; ++i) exchange.push_text(huge);
  exchange.set_text_result(huge);
  for (int i = 0; i < ValueExchange::kSlots; ++i) exchange.push_text("small");
  exchange.set_text_result("small");
  for (int i = 0; i < ValueExchange::kSlots; ++i) {
    EXPECT_LE(exchange.text_slot(i).capacity(), ModuleText::kKeptRoom) << i;
  }
  EXPECT_LE(exchange.text_result().capacity(), ModuleText::kKeptRoom);
  EXPECT_GE(exchange.text_result().capacity(), ValueExchange::kTextResultRoom)
      << "the text result keeps the room its answers need";
}

}  // namespace
}  // namespace korvex::tests
