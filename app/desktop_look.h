// SPDX-License-Identifier: MIT
#pragma once

namespace vexalo {

// Where the window takes the desktop's font, palette and icons from.
enum class DesktopLook {
    // From the platform theme Qt chooses, or the one the user chose.
    AsQtChooses,
    // The same on Wayland, where Qt's GTK theme may load GTK: GTK finds no cursor folder while
    // Qt starts, so it does not load the whole cursor theme (some 3 MB of files, a tenth of
    // the start under GNOME) for a display it never draws on. Qt loads its own cursors only
    // once the window has the pointer, long after the folder is back.
    AsQtChoosesWithoutCursorFolder,
    // From GTK's settings, read by the tool, under Qt's built-in GNOME theme, where Qt 6.4
    // would load GTK for its GTK theme only to read them and draw with Fusion anyway (about
    // half of the start, and 13 MiB): on X11 from the settings manager (XSETTINGS), ...
    FromXSettings,
    // ... on Wayland from GSettings, as GTK reads them there.
    FromGSettings,
};

// Chooses before Qt starts, from the environment and Qt's own options on the command line,
// and sets what the choice needs while Qt starts: under a GTK-based desktop, the tool reads
// GTK's settings itself, unless the user chose a platform theme or a style, or Qt is 6.5 or
// later, whose GTK theme takes GTK's own colours, which only GTK can tell.
DesktopLook ChooseDesktopLook(int argc, char* argv[]);

// Once the application object stands: takes back what the choice set, so the renderer gets
// the user's own environment, and gives the application GTK's font, dark palette and icon
// theme as Qt's GTK theme would.
void ApplyDesktopLook(DesktopLook look);

} // namespace vexalo
