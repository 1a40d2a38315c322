#include "host/information.h"

#include "host/version.h"

namespace korvex {

const char* info_text() {
  return KORVEX_INFO_LINE "\r\n" KORVEX_CONTACT_MAIL "\r\n" KORVEX_CONTACT_WEB;
}

const char* copyright_text() { return KORVEX_COPYRIGHT; }

}  // namespace korvex
