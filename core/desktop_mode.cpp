// SPDX-License-Identifier: MIT
#include "core/desktop_mode.h"

#include "core/desktop_mode_platform.h"

#include <algorithm>
#include <cstdlib>

namespace vexalo {
namespace {

// The compositor's output that shows the monitor: by name as the compositor gives it (what
// Qt's wayland plugin calls the screen); by position for a name only X knows (Qt on
// Xwayland says "XWAYLAND1"); else the first.
const platform::WaylandOutput& ChooseOutput(const std::vector<platform::WaylandOutput>& outputs,
                                            const DesktopTarget& target)
{
    if (target.monitor.empty())
        return outputs.front();
    auto it = std::find_if(outputs.begin(), outputs.end(),
                           [&](const auto& o) { return o.name == target.monitor; });
    // Only a display Qt named is asked: connecting to DISPLAY may start Xwayland for nothing.
    if (it == outputs.end() && !target.xDisplay.empty()) {
        if (auto at = platform::QueryX11MonitorPosition(target.xDisplay.c_str(), target.monitor))
            it = std::find_if(outputs.begin(), outputs.end(),
                              [&](const auto& o) { return o.position == *at; });
    }
    return it != outputs.end() ? *it : outputs.front();
}

} // namespace

DesktopMode QueryDesktopMode(const DesktopTarget& target)
{
    // Only the compositor knows the physical mode of a scaled output: Xwayland's RandR modes
    // are logical. So in a Wayland session ask it first, whichever plugin Qt runs on.
    if (!target.waylandDisplay.empty()) {
        const auto outputs = platform::QueryWaylandOutputs(target.waylandDisplay);
        if (!outputs.empty())
            return ChooseOutput(outputs, target).mode;
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
