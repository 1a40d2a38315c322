#include "host/host_interface.h"

#include "host/version.h"

namespace korvex {

HostInterface::HostInterface(Platform& platform, ValueExchange& exchange)
    : platform_(platform), exchange_(exchange) {}

void HostInterface::set_data(std::int32_t value) { exchange_.push_data(value); }

std::int32_t HostInterface::get_data() const { return exchange_.result(); }

void HostInterface::set_file(const char* text) {
  exchange_.push_text(text == nullptr ? std::string() : std::string(text));
}

// std::string keeps its characters NUL-terminated, the empty text included,
// so the pointer is always a valid C string until the text result changes.
const char* HostInterface::get_file() const { return exchange_.text_result().c_str(); }

const char* HostInterface::info_text() {
  return KORVEX_INFO_LINE "\r\n" KORVEX_CONTACT_MAIL "\r\n" KORVEX_CONTACT_WEB;
}

const char* HostInterface::copyright_text() { return KORVEX_COPYRIGHT; }

}  // namespace korvex
