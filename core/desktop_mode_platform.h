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

// Returns the X display's current mode of the output named `monitor`; when no lit output has
// that name, of the RandR primary, then of the first lit output, then the X screen's size.
// `displayName` nullptr or empty means DISPLAY. Any failure yields `available` false.
DesktopMode QueryX11Mode(const char* displayName, const std::string& monitor);

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

// Returns the X display's lit outputs, in the server's order; none when it cannot be asked.
std::vector<X11Monitor> QueryX11Monitors(const char* displayName);

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

// Returns the compositor's output that shows `monitor`: by name as the compositor gives it;
// for a name only X knows, the output in the place where `xMonitors()` puts it; else the
// first. `xMonitors` is called only for such a name. `outputs` must not be empty.
const platform::WaylandOutput&
ChooseOutput(const std::vector<platform::WaylandOutput>& outputs, const std::string& monitor,
             const std::function<std::vector<platform::X11Monitor>()>& xMonitors);

} // namespace vexalo
