// SPDX-License-Identifier: MIT
#include "app/gsettings_reader.h"

#include <dlfcn.h>
#include <gio/gio.h>

namespace vexalo {
namespace {

// A function of the library loaded as `library` (or of one it needs), typed by GIO's
// declaration: nothing refers to GIO's symbols themselves, so the program does not need it.
template <typename F> F* Function(void* library, const char* name)
{
    return reinterpret_cast<F*>(dlsym(library, name));
}

} // namespace

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
    const auto sourceDefault = Function<decltype(g_settings_schema_source_get_default)>(
        gio, "g_settings_schema_source_get_default");
    const auto lookup =
        Function<decltype(g_settings_schema_source_lookup)>(gio, "g_settings_schema_source_lookup");
    const auto newFull = Function<decltype(g_settings_new_full)>(gio, "g_settings_new_full");
    const auto getString = Function<decltype(g_settings_get_string)>(gio, "g_settings_get_string");
    const auto getInt = Function<decltype(g_settings_get_int)>(gio, "g_settings_get_int");
    const auto unrefSchema =
        Function<decltype(g_settings_schema_unref)>(gio, "g_settings_schema_unref");
    const auto unref = Function<decltype(g_object_unref)>(gio, "g_object_unref");
    const auto free = Function<decltype(g_free)>(gio, "g_free");
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
