// SPDX-License-Identifier: MIT
#pragma once

namespace vexalo {

// Where the window takes the desktop's font, palette and icons from.
enum class DesktopLook {
    // From the platform theme Qt chooses, or the one the user chose.
    AsQtChooses,
    // From GTK's settings, read by the tool, under Qt's built-in GNOME theme: on X11 under a
    // desktop for which Qt 6.4 would load GTK for its GTK theme, only to read these settings
    // and draw with Fusion anyway (about half of the start, and 13 MiB).
    FromGtkSettings,
};

// Chooses before Qt starts, from the environment and Qt's own options on the command line,
// and sets what the choice needs while Qt starts.
DesktopLook ChooseDesktopLook(int argc, char* argv[]);

// Once the application object stands: takes back what the choice set, so the renderer gets
// the user's own environment, and gives the application GTK's font, dark palette and icon
// theme as Qt's GTK theme would.
void ApplyDesktopLook(DesktopLook look);

} // namespace vexalo
