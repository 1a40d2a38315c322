#include <gtest/gtest.h>

#include <cstring>

#include "host/module.h"
#include "platform/sim/simulated_machine.h"

namespace korvex {
namespace {

struct ModuleTest : ::testing::Test {
  SimulatedMachine machine;
  Module module{machine};
};

TEST_F(ModuleTest, StartsWithZeroResultAndEmptyText) {
  EXPECT_EQ(module.host.get_data(), 0);
  const char* text = module.host.get_file();
  ASSERT_NE(text, nullptr);
  EXPECT_STREQ(text, "");
  for (int slot = 0; slot < ValueExchange::kSlots; ++slot) {
    EXPECT_EQ(module.exchange.data_slot(slot), 0);
    EXPECT_EQ(module.exchange.text_slot(slot), "");
  }
}

TEST_F(ModuleTest, SixPushesKeepTheNewestFive) {
  for (int value = 1; value <= 6; ++value) module.host.set_data(value);
  for (int slot = 0; slot < ValueExchange::kSlots; ++slot) {
    EXPECT_EQ(module.exchange.data_slot(slot), 6 - slot);
  }
}

TEST_F(ModuleTest, OnePushLeavesSlotOneAtZeroAndGetDataUnchanged) {
  module.host.set_data(7);
  EXPECT_EQ(module.exchange.data_slot(0), 7);
  EXPECT_EQ(module.exchange.data_slot(1), 0);
  EXPECT_EQ(module.host.get_data(), 0);
}

TEST_F(ModuleTest, TextPushesCopyTheTextAndNullIsEmpty) {
  char buffer[] = "first";
  module.host.set_file(buffer);
  std::strcpy(buffer, "xxxxx");
  module.host.set_file(nullptr);
  EXPECT_EQ(module.exchange.text_slot(0), "");
  EXPECT_EQ(module.exchange.text_slot(1), "first");
  for (int i = 0; i < 5; ++i) module.host.set_file("later");
  EXPECT_EQ(module.exchange.text_slot(4), "later");
}

TEST_F(ModuleTest, GetFileGivesTheSamePointerUntilTheTextResultChanges) {
  module.exchange.set_text_result("answer");
  const char* first = module.host.get_file();
  EXPECT_EQ(module.host.get_file(), first);
  EXPECT_STREQ(first, "answer");
}

TEST(InfoText, HasThreeLinesStartingWithTheModuleName) {
  const std::string info = HostInterface::info_text();
  EXPECT_EQ(info.rfind("Korvex v1.0\r\n", 0), 0u);
  std::size_t pairs = 0;
  for (std::size_t at = info.find("\r\n"); at != std::string::npos; at = info.find("\r\n", at + 2)) {
    ++pairs;
  }
  EXPECT_EQ(pairs, 2u);
  EXPECT_EQ(info.find('\n', info.size() - 2), std::string::npos) << "no break after the last line";
  EXPECT_EQ(HostInterface::info_text(), HostInterface::info_text());
  const std::string copyright = HostInterface::copyright_text();
  EXPECT_EQ(copyright.find_first_of("\r\n"), std::string::npos);
  EXPECT_NE(copyright.find("example.org"), std::string::npos);
}

}  // namespace
}  // namespace korvex
