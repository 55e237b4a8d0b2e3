// SPDX-License-Identifier: MIT
#pragma once

#include "core/xsettings.h"

#include <string>
#include <string_view>

namespace vexalo {

// The GTK 3 settings that give a window the desktop's look, as a GTK program would see them;
// each starts at GTK's own default.
struct GtkSettings {
    std::string fontName = "Sans 10";
    std::string themeName = "Adwaita";
    std::string iconThemeName = "Adwaita";
    bool preferDarkTheme = false;
};

// Takes the keys of the [Settings] group of one settings.ini text (a GLib key file) over
// `settings`; a key whose value GLib would refuse leaves the setting as it was.
void ApplyGtkKeyFile(std::string_view text, GtkSettings& settings);

// Reads GTK's settings.ini files in GTK's order, each over the one before: the system's
// (/usr/share, /etc, XDG_CONFIG_DIRS from the last to the first), then the user's. Files that
// cannot be read are passed over.
GtkSettings ReadGtkSettingsFiles();

// Takes what a settings manager publishes over `settings`, where GTK takes it: the font, the
// theme and the icon theme, each a string.
void ApplyXSettings(const XSettings& published, GtkSettings& settings);

// A font as Qt's GTK theme makes it of GTK's font name.
struct DesktopFont {
    std::string family;
    int pointSize = 0; // 0 or less: Qt's default size
};

// Splits a GTK font name as Qt's GTK theme does: the family before the last space, the size
// after it in whole points; a name without a size is all family. An empty name is Qt's own
// default, "Sans Serif 9".
DesktopFont SplitGtkFontName(std::string_view name);

// Whether Qt's GTK theme takes Fusion's dark palette: the GTK_THEME variable (`gtkTheme`)
// decides where set, then GTK's preference for a dark theme, then the theme's name; a name
// is dark where "-dark" or ":dark" stands in it, in any case.
bool TakesDarkPalette(const GtkSettings& settings, std::string_view gtkTheme);

} // namespace vexalo
