// SPDX-License-Identifier: MIT
#pragma once

#include "core/desktop_mode.h"

class QWidget;

namespace vexalo {

// Returns what to ask about `window`'s desktop: the monitor that shows it, the X display Qt
// is connected to, and the Wayland session's compositor, if any.
DesktopTarget DesktopTargetOf(const QWidget& window);

} // namespace vexalo
