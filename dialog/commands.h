// SPDX-License-Identifier: MIT
#pragma once

#include "core/display_choices.h"

#include <optional>
#include <string>

class QWidget;

namespace vexalo {

// The three commands. Each returns the status the program is to end with, or nothing when
// the window stays; a failure is reported once in a message box over `window` and then ends
// the program with status 1.

// Save: writes config.txt for `choices`; the window stays.
std::optional<int> Save(const DisplayChoices& choices, QWidget& window);

// Save and Start: writes config.txt, starts the renderer activated from `window`, and ends.
std::optional<int> SaveAndStart(const DisplayChoices& choices, QWidget& window);

// Cancel: writes nothing, and ends.
std::optional<int> Cancel();

// Shows `report`, in the locale's encoding, in a message box of its own, titled as the window:
// for a failure before the window opens that nobody would otherwise see.
void ReportWithoutWindow(const std::string& report);

} // namespace vexalo
