// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
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

// Which monitor to ask about, and through which display connections.
struct DesktopTarget {
    std::string monitor;        // output name, e.g. "DP-1"; empty or unknown: the primary
    std::string xDisplay;       // e.g. ":5"; empty: DISPLAY
    std::string waylandDisplay; // socket name or path, e.g. "wayland-1"; empty: no Wayland
};

// Returns the current mode of `target.monitor`. In a Wayland session the compositor is asked
// (physical pixels, 32 bpp) and the monitor found by name, else by where the X display shows
// it (Xwayland), else its first output is taken; when the compositor cannot be asked, the X
// display, where an unmatched name means the primary, then the first lit output. When
// neither can be asked, `available` is false. Never throws.
DesktopMode QueryDesktopMode(const DesktopTarget& target);

} // namespace vexalo
