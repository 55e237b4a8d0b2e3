// SPDX-License-Identifier: MIT
#pragma once

class QAbstractButton;
class QGroupBox;
class QWidget;

namespace vexalo {

// Presents `window` to screen readers as a dialog under its title, and `lodger`, a button that
// belongs to the window but is drawn inside `frame`, as the frame's first member: read in the
// frame, before the frame's own members, and labelled by its title as they are.
void PresentAsDialog(QWidget* window, QGroupBox* frame, QAbstractButton* lodger);

} // namespace vexalo
