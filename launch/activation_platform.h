// SPDX-License-Identifier: MIT
#pragma once

// The display systems' ways to let the renderer's first window take the focus: each returns
// the "NAME=value" entries for the renderer's environment, none where it has no way. An
// activation that cannot be made is no failure of the start, so none of these fails.

#include "launch/launch.h"

#include <string>
#include <string_view>
#include <vector>

namespace vexalo::platform {

// X11: sends the startup notification's "new:" message for `program` to the window's root and
// returns DESKTOP_STARTUP_ID.
std::vector<std::string> BeginActivationX11(const ToolWindow& window, std::string_view program);

// X11: sends "remove:" for `startupId`, so the desktop stops waiting for the launch.
void WithdrawActivationX11(const ToolWindow& window, std::string_view startupId);

// Wayland: returns an xdg_activation_v1 token as XDG_ACTIVATION_TOKEN and DESKTOP_STARTUP_ID.
std::vector<std::string> BeginActivationWayland(const ToolWindow& window);

} // namespace vexalo::platform
