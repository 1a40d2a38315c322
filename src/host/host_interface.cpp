#include "host/host_interface.h"

#include "host/host_text.h"
#include "host/system_error_text.h"
#include "host/version.h"

namespace korvex {
namespace {

constexpr const char* kTriggerWord = "Quex";
// "Well done! :)" in Russian, in Windows-1251, the module's only words to the user.
constexpr const char* kPraise = "\xCC\xE0\xEB\xE0\xE4\xF6\xE0! :)";

}  // namespace

HostInterface::HostInterface(Platform& platform, ValueExchange& exchange)
    : platform_(platform), exchange_(exchange) {}

void HostInterface::set_data(std::int32_t value) { exchange_.push_data(value); }

std::int32_t HostInterface::get_data() const { return exchange_.result(); }

void HostInterface::set_file(const char* text) {
  exchange_.push_text(host_text(text));
  if (exchange_.text_slot(0) == kTriggerWord) {
    platform_.message_box(kPraise, nullptr, win32::kMbOkSetForeground);
  }
}

// std::string keeps its characters NUL-terminated, the empty text included,
// so the pointer is always a valid C string until the text result changes.
const char* HostInterface::get_file() const { return exchange_.text_result().c_str(); }

const char* HostInterface::info_text() {
  return KORVEX_INFO_LINE "\r\n" KORVEX_CONTACT_MAIL "\r\n" KORVEX_CONTACT_WEB;
}

const char* HostInterface::copyright_text() { return KORVEX_COPYRIGHT; }

void HostInterface::get_error_message() {
  const std::uint32_t code = platform_.get_last_error();
  exchange_.set_text_result(system_error_text(platform_, code));
}

}  // namespace korvex
