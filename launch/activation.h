// SPDX-License-Identifier: MIT
#pragma once

// The display systems' ways to let the renderer's first window take the focus. An activation
// that cannot be made is no failure of the start, so none of these fails.

#include "launch/types.h"

#include <string>
#include <string_view>
#include <vector>

namespace vexalo::platform {

// What an activation hands the renderer, and what is left to take back if it never starts.
struct Activation {
    std::vector<std::string> entries; // "NAME=value" for the renderer's environment
    std::string startupId;            // the X11 launch announced, which the desktop awaits
};

// Activates from `window` on its display system: X11 announces the launch of `program` on
// the window's root and gives DESKTOP_STARTUP_ID; Wayland gives an xdg_activation_v1 token
// as XDG_ACTIVATION_TOKEN and DESKTOP_STARTUP_ID.
Activation BeginActivation(const ToolWindow& window, std::string_view program);

// Ends what `activation` began for a renderer that did not start: X11's "remove:". A Wayland
// token that is never used simply expires.
void WithdrawActivation(const ToolWindow& window, const Activation& activation);

} // namespace vexalo::platform
