// SPDX-License-Identifier: MIT
#pragma once

#include "core/desktop_mode.h"
#include "launch/launch.h"

class QWidget;

// The tool's window as the display systems name it: its monitor, its displays, its native
// handles and the input that ran a command. Plain values for core/ and launch/, which use no
// toolkit.

namespace vexalo {

// Returns what to ask about `window`'s desktop: the monitor that shows it, the X display Qt
// is connected to, and the Wayland session's compositor, if any.
DesktopTarget DesktopTargetOf(const QWidget& window);

// Returns `window` and the user's last click or key press in it as the display system names
// them, for the renderer's activation. A command run without one (by a screen reader, say)
// takes the X server's time of now.
ToolWindow ToolWindowOf(QWidget& window);

} // namespace vexalo
