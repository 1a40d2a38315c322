// The check SetFile makes on every text the host pushes.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace korvex {

// The trigger word "Quex", exactly, shows the module's one message box,
// which blocks until the user closes it; any other text shows nothing.
void greet_trigger_word(Platform& platform, std::string_view pushed);

}  // namespace korvex
