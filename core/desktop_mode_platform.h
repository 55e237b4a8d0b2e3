// SPDX-License-Identifier: MIT
#pragma once

// The answers of the display systems behind QueryDesktopMode. Each opens its own connection
// and closes it before returning.

#include "core/desktop_mode.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vexalo::platform {

// A monitor's area on the desktop.
struct Rect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct X11Monitor {
    std::string name; // the RandR output's, e.g. "XWAYLAND1"
    Rect area;        // its CRTC's, in the X screen's pixels
};

struct X11Desktop {
    DesktopMode mode;                 // `available` false when the display cannot be asked
    std::vector<X11Monitor> monitors; // RandR's lit outputs, in the server's order
};

// Asks the X display, on one connection in four round trips: the current mode of the output
// named `monitor`; when no lit output has that name, of the RandR primary, then of the first
// lit output. Without RandR's outputs, of the Xinerama head that holds `windowCentre`, else
// of the first head; without either, the X screen's size. `displayName` nullptr or empty
// means DISPLAY.
X11Desktop QueryX11Desktop(const char* displayName, const std::string& monitor,
                           const std::optional<Point>& windowCentre = std::nullopt);

struct WaylandOutput {
    std::string name; // empty where the compositor names no outputs
    Rect area;        // in the compositor's logical coordinates
    DesktopMode mode; // physical pixels, transform applied
};

// Returns the compositor's outputs that show a mode, in its order; none when it cannot be
// asked.
std::vector<WaylandOutput> QueryWaylandOutputs(const std::string& displayName);

} // namespace vexalo::platform

namespace vexalo {

// Whether the X display whose lit outputs are `x` is the Xwayland of the compositor with
// `outputs`: one RandR output for each of the compositor's, each named as Xwayland names them
// (XWAYLAND0, ...) or as the compositor does. A VNC or nested X server a user opened from a
// Wayland session has outputs of its own (VNC-0, screen), or none.
bool IsXwaylandOf(const std::vector<platform::X11Monitor>& x,
                  const std::vector<platform::WaylandOutput>& outputs);

// Returns the compositor's output that shows `monitor`: by name as the compositor gives it;
// for a name only X knows, the output in the place where `xMonitors()` puts it; for a name
// neither knows, the output in the place of the X monitor that holds `windowCentre`; else the
// first. `xMonitors` is called only for a name the compositor does not know. `outputs` must
// not be empty.
const platform::WaylandOutput&
ChooseOutput(const std::vector<platform::WaylandOutput>& outputs, const std::string& monitor,
             const std::function<std::vector<platform::X11Monitor>()>& xMonitors,
             const std::optional<Point>& windowCentre = std::nullopt);

} // namespace vexalo
