// SPDX-License-Identifier: MIT
#pragma once

// The layout table turned into a window at the desktop's resolution and font: every control
// where the table puts it, grown as one where a caption would be cut.

#include "dialog/layout.h"

#include <QWidget>
#include <array>

namespace vexalo {

// The window's controls, one per row of the table.
using LayoutControls = std::array<QWidget*, kControls.size()>;

// Sizes `window` and places `controls` at `dpi`, the whole table scaled up by just enough for
// every caption to show in full; at the default font nothing grows.
void FitLayout(QWidget* window, const LayoutControls& controls, double dpi);

} // namespace vexalo
