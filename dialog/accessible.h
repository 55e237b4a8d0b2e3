// SPDX-License-Identifier: MIT
#pragma once

#include <QList>

class QAbstractButton;
class QGroupBox;
class QWidget;

namespace vexalo {

// Presents `window` to screen readers as a dialog under its title, whose `choices` (option
// buttons and check boxes) a screen reader toggles as a click does; and `lodger`, one of them
// that belongs to the window but is drawn inside `frame`, as the frame's first member: read
// in the frame, before the frame's own members, and labelled by its title as they are.
void PresentAsDialog(QWidget* window, QGroupBox* frame, QAbstractButton* lodger,
                     const QList<QAbstractButton*>& choices);

} // namespace vexalo
