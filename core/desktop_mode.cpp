// SPDX-License-Identifier: MIT
#include "core/desktop_mode.h"

#include "core/desktop_mode_platform.h"

#include <cstdlib>

namespace vexalo {

DesktopMode QueryDesktopMode(const DesktopTarget& target)
{
    // Only the compositor knows the physical mode of a scaled output: Xwayland's RandR modes
    // are logical. So in a Wayland session ask it first, whichever plugin Qt runs on.
    if (!target.waylandDisplay.empty()) {
        if (auto mode = platform::QueryWaylandMode(target.waylandDisplay, target.monitor))
            return *mode;
    }
    return platform::QueryX11Mode(target.xDisplay.c_str(), target.monitor);
}

DesktopMode QueryDesktopMode()
{
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return QueryDesktopMode(DesktopTarget{{}, {}, wayland ? wayland : ""});
}

DesktopMode QueryDesktopMode(const char* displayName)
{
    return platform::QueryX11Mode(displayName, {});
}

} // namespace vexalo
