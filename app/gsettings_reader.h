// SPDX-License-Identifier: MIT
#pragma once

#include "core/gtk_settings.h"

#include <string>

namespace vexalo {

// Takes the settings GTK 3 reads from GSettings on Wayland (org.gnome.desktop.interface)
// over `settings`, with the cursor's theme and size, or GTK's own fallbacks where the schema
// is not installed. GIO is loaded here only, so no other start pays for it; where it cannot
// be, GTK could not have been loaded either. Kept apart from Qt, whose "signals" GIO's
// headers use as a name.
void ReadGSettings(GtkSettings& settings, std::string& cursorTheme, int& cursorSize);

} // namespace vexalo
