#include "exchange/value_exchange.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace korvex::tests
