// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace vexalo {

// The display mode the desktop runs in right now.
struct DesktopMode {
    bool available = false; // false when the display could not be asked
    std::int32_t width = 0; // in physical pixels, rotation applied
    std::int32_t height = 0;
    std::int16_t bitsPerPixel = 0; // bits per pixel of the root window's pixmap format

    friend bool operator==(const DesktopMode&, const DesktopMode&) = default;
};

// Asks the X display the program runs on (DISPLAY) for the current mode of its primary
// monitor. Never throws; any failure yields `available` false.
DesktopMode QueryDesktopMode();

// The same for a named X display, e.g. ":5"; nullptr means the default display.
DesktopMode QueryDesktopMode(const char* displayName);

// Returns true iff an X display can be connected to (nullptr: the default display).
bool CanConnectToDisplay(const char* displayName = nullptr);

} // namespace vexalo
