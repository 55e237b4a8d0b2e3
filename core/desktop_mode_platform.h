// SPDX-License-Identifier: MIT
#pragma once

// The answers of the display systems behind QueryDesktopMode. Each opens its own connection
// and closes it before returning.

#include "core/desktop_mode.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vexalo::platform {

// Returns the X display's current mode of the output named `monitor`; when no lit output has
// that name, of the RandR primary, then of the first lit output, then the X screen's size.
// `displayName` nullptr or empty means DISPLAY. Any failure yields `available` false.
DesktopMode QueryX11Mode(const char* displayName, const std::string& monitor);

// A place on the desktop, in the compositor's logical coordinates (which Xwayland's are).
struct Position {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Position&, const Position&) = default;
};

// Returns where the X display's lit output named `monitor` sits; nullopt when it has none.
std::optional<Position> QueryX11MonitorPosition(const char* displayName,
                                                const std::string& monitor);

struct WaylandOutput {
    std::string name; // empty where the compositor names no outputs
    Position position;
    DesktopMode mode; // physical pixels, transform applied
};

// Returns the compositor's outputs that show a mode, in its order; none when it cannot be
// asked.
std::vector<WaylandOutput> QueryWaylandOutputs(const std::string& displayName);

} // namespace vexalo::platform
