// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vexalo {

// The display mode the desktop runs in right now.
struct DesktopMode {
    bool available = false; // false when the display could not be asked
    std::int32_t width = 0; // in physical pixels, rotation applied
    std::int32_t height = 0;
    std::int16_t bitsPerPixel = 0; // bits per pixel of the root window's pixmap format

    friend bool operator==(const DesktopMode&, const DesktopMode&) = default;
};

// A place on the X screen, in its pixels.
struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// Which monitor to ask about, and through which display connections.
struct DesktopTarget {
    std::string monitor;        // output name, e.g. "DP-1"; empty or unknown: the primary
    std::string xDisplay;       // e.g. ":5"; empty: DISPLAY
    std::string waylandDisplay; // socket name or path, e.g. "wayland-1"; empty: no Wayland
    // The window's centre on the X screen: where RandR names no monitors, the Xinerama head
    // that shows it is the one asked about; on the compositor's Xwayland, the monitor that
    // shows it, where `monitor` names none.
    std::optional<Point> windowCentre = std::nullopt;
};

// Returns the current mode of `target.monitor`. The compositor of a Wayland session is asked
// (physical pixels, 32 bpp) for a window on Qt's Wayland plugin, and for one on the
// compositor's own Xwayland; there the monitor is found by name (the compositor's, or the X
// output's place), else by the X monitor that holds `windowCentre`, else the compositor's
// first output is taken. Any other X display (a VNC or a
// nested server, opened from a Wayland session or not) is asked itself: RandR's output of
// that name, else the primary, else the first lit one; without RandR, the Xinerama head that
// shows the window's centre, else the first; with neither, the X screen. When nothing can be
// asked, `available` is false. Never throws.
DesktopMode QueryDesktopMode(const DesktopTarget& target);

} // namespace vexalo
