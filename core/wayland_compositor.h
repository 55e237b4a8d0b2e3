// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace vexalo {

// Whether the Wayland compositor at `display` (a socket name or path) offers to draw the
// title bars of windows itself (xdg-decoration), as sway and KDE's KWin do; GNOME's mutter
// and weston leave them to the client. False when it cannot be asked. Never throws.
bool CompositorDecoratesWindows(const std::string& display);

} // namespace vexalo
