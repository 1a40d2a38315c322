// The module's two static texts for the host: the information text (name and
// version, then two contact lines, separated by CR LF) and the copyright
// notice. Each is at the same address on every call.
#pragma once

namespace korvex {

const char* info_text();
const char* copyright_text();

}  // namespace korvex
