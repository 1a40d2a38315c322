// The check SetFile makes on every text the host pushes.
#pragma once

#include <string_view>

#include "platform/platform.h"

namespace korvex {

// The trigger word "Quex", exactly, earns the praise; any other text nothing.
bool is_trigger_word(std::string_view pushed);

// The module's one message box, which blocks until the user closes it.
void show_praise(Platform& platform);

}  // namespace korvex
