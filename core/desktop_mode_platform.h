// SPDX-License-Identifier: MIT
#pragma once

// The answers of the display systems behind QueryDesktopMode. Each opens its own connection
// and closes it before returning.

#include "core/desktop_mode.h"

#include <optional>
#include <string>

namespace vexalo::platform {

// Returns the X display's current mode of the output named `monitor`; when no lit output has
// that name, of the RandR primary, then of the first lit output, then the X screen's size.
// `displayName` nullptr or empty means DISPLAY. Any failure yields `available` false.
DesktopMode QueryX11Mode(const char* displayName, const std::string& monitor);

// Returns the compositor's current mode of the wl_output named `monitor`, else of its first
// output; nullopt when the compositor cannot be asked or shows no output.
std::optional<DesktopMode> QueryWaylandMode(const std::string& displayName,
                                            const std::string& monitor);

} // namespace vexalo::platform
