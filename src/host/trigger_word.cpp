#include "host/trigger_word.h"

#include "host/version.h"

namespace korvex {
namespace {

constexpr std::string_view kTriggerWord = "Quex";
// "Well done! :)" in Russian, in Windows-1251, the module's only words to the user.
constexpr const char* kPraise = "\xCC\xE0\xEB\xE0\xE4\xF6\xE0! :)";

}  // namespace

const char* info_text() {
  return KORVEX_INFO_LINE "\r\n" KORVEX_CONTACT_MAIL "\r\n" KORVEX_CONTACT_WEB;
}

const char* copyright_text() { return KORVEX_COPYRIGHT; }

bool is_trigger_word(std::string_view pushed) { return pushed == kTriggerWord; }

void show_praise(Platform& platform) {
  platform.message_box(kPraise, nullptr, win32::kMbOkSetForeground);
}

}  // namespace korvex
