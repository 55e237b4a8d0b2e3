// SPDX-License-Identifier: MIT
#include "app/gsettings_reader.h"

#include <dlfcn.h>
#include <gio/gio.h>

namespace vexalo {

void ReadGSettings(GtkSettings& settings, std::string& cursorTheme, int& cursorSize)
{
    settings.fontName = "Cantarell 11";
    settings.themeName = "Adwaita";
    settings.iconThemeName = "gnome";
    cursorTheme = "Adwaita";
    cursorSize = 32;
    void* gio = dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!gio)
        return;
    const auto symbol = [gio]<typename F>(F*, const char* name) {
        return reinterpret_cast<F*>(dlsym(gio, name));
    };
    const auto sourceDefault =
        symbol(&g_settings_schema_source_get_default, "g_settings_schema_source_get_default");
    const auto lookup = symbol(&g_settings_schema_source_lookup, "g_settings_schema_source_lookup");
    const auto newFull = symbol(&g_settings_new_full, "g_settings_new_full");
    const auto getString = symbol(&g_settings_get_string, "g_settings_get_string");
    const auto getInt = symbol(&g_settings_get_int, "g_settings_get_int");
    const auto unrefSchema = symbol(&g_settings_schema_unref, "g_settings_schema_unref");
    const auto unref = symbol(&g_object_unref, "g_object_unref");
    const auto free = symbol(&g_free, "g_free");
    GSettingsSchemaSource* source =
        sourceDefault && lookup && newFull && getString && getInt && unrefSchema && unref && free
            ? sourceDefault()
            : nullptr;
    GSettingsSchema* schema =
        source ? lookup(source, "org.gnome.desktop.interface", false) : nullptr;
    if (!schema)
        return;
    GSettings* interface = newFull(schema, nullptr, nullptr);
    unrefSchema(schema);
    const auto text = [&](const char* key) {
        gchar* value = getString(interface, key);
        std::string copy = value ? value : "";
        free(value);
        return copy;
    };
    settings.fontName = text("font-name");
    settings.themeName = text("gtk-theme");
    settings.iconThemeName = text("icon-theme");
    cursorTheme = text("cursor-theme");
    cursorSize = getInt(interface, "cursor-size");
    unref(interface);
}

} // namespace vexalo
