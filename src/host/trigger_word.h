// The module's fixed words: the two static texts GetInfo and Copyright give,
// and the praise the trigger word earns, the check SetFile makes on every
// text the host pushes.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace korvex {

// The information text (name and version, then two contact lines, separated
// by CR LF) and the copyright notice. Each is at the same address on every call.
const char* info_text();
const char* copyright_text();

// The trigger word "Quex", exactly, earns the praise; any other text nothing.
bool is_trigger_word(std::string_view pushed);

// The module's one message box, which blocks until the user closes it.
void show_praise(Platform& platform);

}  // namespace korvex
