// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

class QWidget;

namespace vexalo {

// Readies the hand-over of the focus to `program`, which the user's last click or key press
// in `window` is about to start. Returns the "NAME=value" entries for its environment:
// DESKTOP_STARTUP_ID on X11, once the launch is announced on the root window;
// XDG_ACTIVATION_TOKEN on Wayland, and the same token as DESKTOP_STARTUP_ID for a program
// that runs through XWayland. Returns none where the display system offers no way; a
// hand-over that cannot be made is no failure of the launch, so this never fails.
std::vector<std::string> AnnounceLaunch(QWidget& window, std::string_view program);

// Withdraws the announcement made by AnnounceLaunch when the program could not be started,
// so the desktop stops waiting for it.
void WithdrawLaunch(QWidget& window, const std::vector<std::string>& handOver);

namespace platform {
// The display systems' answers to the two calls above.
std::vector<std::string> AnnounceLaunchX11(QWidget& window, std::string_view program);
void WithdrawLaunchX11(QWidget& window, std::string_view startupId);
std::vector<std::string> RequestActivationToken(QWidget& window);
} // namespace platform

} // namespace vexalo
