// SPDX-License-Identifier: MIT
#include "core/desktop_mode.h"

#include "core/desktop_mode_platform.h"

#include <algorithm>
#include <cstdint>

namespace vexalo {
namespace {

using platform::Rect;

// The smallest rectangle that holds every area.
template <typename Monitors> Rect Extent(const Monitors& monitors)
{
    std::int32_t left = INT32_MAX, top = INT32_MAX, right = INT32_MIN, bottom = INT32_MIN;
    for (const auto& m : monitors) {
        left = std::min(left, m.area.x);
        top = std::min(top, m.area.y);
        right = std::max(right, m.area.x + m.area.width);
        bottom = std::max(bottom, m.area.y + m.area.height);
    }
    return Rect{left, top, right - left, bottom - top};
}

} // namespace

// Xwayland's places are the compositor's logical ones (weston, sway, mutter), or all of them
// scaled by one factor (KWin scales X11 applications itself: its Xwayland desktop is the
// logical one times the largest output scale). Taking X's desktop onto the compositor's
// covers both. Comparing places as they are would not: scaled, one monitor's X place can be
// another's logical one.
const platform::WaylandOutput&
ChooseOutput(const std::vector<platform::WaylandOutput>& outputs, const std::string& monitor,
             const std::function<std::vector<platform::X11Monitor>()>& xMonitors,
             const std::optional<Point>& windowCentre)
{
    if (monitor.empty())
        return outputs.front();
    auto it = std::find_if(outputs.begin(), outputs.end(),
                           [&](const auto& o) { return o.name == monitor; });
    if (it != outputs.end())
        return *it;
    const std::vector<platform::X11Monitor> x = xMonitors();
    auto named = std::find_if(x.begin(), x.end(), [&](const auto& m) { return m.name == monitor; });
    // Xwayland 24.1 (Debian 13) renames its outputs, made as XWAYLAND0 and on, to the
    // compositor's names once the compositor tells them, where 22.1 (Debian 12) keeps them: a
    // name taken from one Xwayland is no output's on the other, nor one taken before a rename.
    // Where the window is on the X screen still says which monitor shows it.
    if (named == x.end() && windowCentre)
        named = std::find_if(x.begin(), x.end(), [&](const auto& m) {
            return windowCentre->x >= m.area.x && windowCentre->x < m.area.x + m.area.width &&
                   windowCentre->y >= m.area.y && windowCentre->y < m.area.y + m.area.height;
        });
    if (named == x.end())
        return outputs.front();

    const Rect from = Extent(x), to = Extent(outputs);
    if (from.width <= 0 || from.height <= 0)
        return outputs.front();
    const auto onto = [](double at, std::int32_t fromStart, std::int32_t fromSize,
                         std::int32_t toStart, std::int32_t toSize) {
        return toStart + (at - fromStart) * toSize / fromSize;
    };
    const double centreX =
        onto(named->area.x + named->area.width / 2.0, from.x, from.width, to.x, to.width);
    const double centreY =
        onto(named->area.y + named->area.height / 2.0, from.y, from.height, to.y, to.height);
    it = std::find_if(outputs.begin(), outputs.end(), [&](const auto& o) {
        return centreX >= o.area.x && centreX < o.area.x + o.area.width && centreY >= o.area.y &&
               centreY < o.area.y + o.area.height;
    });
    return it != outputs.end() ? *it : outputs.front();
}

bool IsXwaylandOf(const std::vector<platform::X11Monitor>& x,
                  const std::vector<platform::WaylandOutput>& outputs)
{
    return !x.empty() && x.size() == outputs.size() &&
           std::all_of(x.begin(), x.end(), [&](const platform::X11Monitor& m) {
               return m.name.starts_with("XWAYLAND") ||
                      std::any_of(outputs.begin(), outputs.end(),
                                  [&](const auto& o) { return o.name == m.name; });
           });
}

DesktopMode QueryDesktopMode(const DesktopTarget& target)
{
    // Only the compositor knows the physical mode of a scaled output: Xwayland's RandR modes
    // are logical, or scaled by Xwayland's own factor. So in a Wayland session ask it first,
    // for a window on its own Xwayland too; but an X display opened from the session (a VNC
    // or nested server) shows the window elsewhere.
    if (!target.waylandDisplay.empty()) {
        const auto outputs = platform::QueryWaylandOutputs(target.waylandDisplay);
        // Only a display Qt named is asked: connecting to DISPLAY may start Xwayland for
        // nothing.
        if (!outputs.empty() && target.xDisplay.empty())
            return ChooseOutput(outputs, target.monitor,
                                [] { return std::vector<platform::X11Monitor>{}; })
                .mode;
        if (!outputs.empty()) {
            const platform::X11Desktop x = platform::QueryX11Desktop(
                target.xDisplay.c_str(), target.monitor, target.windowCentre);
            if (!IsXwaylandOf(x.monitors, outputs))
                return x.mode;
            return ChooseOutput(
                       outputs, target.monitor, [&] { return x.monitors; }, target.windowCentre)
                .mode;
        }
    }
    return platform::QueryX11Desktop(target.xDisplay.c_str(), target.monitor, target.windowCentre)
        .mode;
}

} // namespace vexalo
