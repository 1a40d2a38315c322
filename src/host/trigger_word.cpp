#include "host/trigger_word.h"

namespace korvex {
namespace {

constexpr std::string_view kTriggerWord = "Quex";
// "Well done! :)" in Russian, in Windows-1251, the module's only words to the user.
constexpr const char* kPraise = "\xCC\xE0\xEB\xE0\xE4\xF6\xE0! :)";

}  // namespace

void greet_trigger_word(Platform& platform, std::string_view pushed) {
  if (pushed == kTriggerWord) platform.message_box(kPraise, nullptr, win32::kMbOkSetForeground);
}

}  // namespace korvex
