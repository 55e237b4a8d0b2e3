// SPDX-License-Identifier: MIT
#pragma once

#include "core/desktop_mode.h"
#include "core/display_choices.h"

#include <string>

namespace vexalo {

// Returns the file's exact content: eleven ASCII lines, each ended by CR LF. Without an
// available desktop mode the desktop section falls back to 1024 x 768 x 32.
std::string ConfigFileText(const DisplayChoices& choices, const DesktopMode& desktop);

} // namespace vexalo
