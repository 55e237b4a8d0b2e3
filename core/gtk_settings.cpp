// SPDX-License-Identifier: MIT
#include "core/gtk_settings.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <vector>

namespace vexalo {
namespace {

std::string_view Trimmed(std::string_view text)
{
    const auto space = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && space(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && space(text.back()))
        text.remove_suffix(1);
    return text;
}

// A key file's string with GLib's escapes undone; none where an escape is unknown.
std::optional<std::string> Unescaped(std::string_view value)
{
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            text += value[i];
            continue;
        }
        if (++i == value.size())
            return std::nullopt;
        switch (value[i]) {
        case 's':
            text += ' ';
            break;
        case 'n':
            text += '\n';
            break;
        case 't':
            text += '\t';
            break;
        case 'r':
            text += '\r';
            break;
        case '\\':
            text += '\\';
            break;
        default:
            return std::nullopt;
        }
    }
    return text;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

bool ContainsDarkVariant(std::string_view name)
{
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find("-dark") != std::string::npos || lower.find(":dark") != std::string::npos;
}

} // namespace

void ApplyGtkKeyFile(std::string_view text, GtkSettings& settings)
{
    bool inSettings = false;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = Trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            inSettings = line == "[Settings]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inSettings || equals == std::string_view::npos)
            continue;
        const std::string_view key = Trimmed(line.substr(0, equals));
        const std::optional<std::string> value = Unescaped(Trimmed(line.substr(equals + 1)));
        if (!value)
            continue;
        if (key == "gtk-font-name")
            settings.fontName = *value;
        else if (key == "gtk-theme-name")
            settings.themeName = *value;
        else if (key == "gtk-icon-theme-name")
            settings.iconThemeName = *value;
        else if (key == "gtk-application-prefer-dark-theme" && (*value == "true" || *value == "1"))
            settings.preferDarkTheme = true;
        else if (key == "gtk-application-prefer-dark-theme" && (*value == "false" || *value == "0"))
            settings.preferDarkTheme = false;
    }
}

GtkSettings ReadGtkSettingsFiles()
{
    std::vector<std::string> folders = {"/usr/share/gtk-3.0", "/etc/gtk-3.0"};
    const char* configDirs = std::getenv("XDG_CONFIG_DIRS");
    std::vector<std::string> system;
    std::istringstream dirs(configDirs && *configDirs ? configDirs : "/etc/xdg");
    for (std::string dir; std::getline(dirs, dir, ':');)
        if (!dir.empty())
            system.push_back(dir + "/gtk-3.0");
    folders.insert(folders.end(), system.rbegin(), system.rend());
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    if (configHome && *configHome)
        folders.push_back(std::string(configHome) + "/gtk-3.0");
    else if (home && *home)
        folders.push_back(std::string(home) + "/.config/gtk-3.0");

    GtkSettings settings;
    for (const std::string& folder : folders)
        ApplyGtkKeyFile(ReadFile(folder + "/settings.ini"), settings);
    return settings;
}

void ApplyXSettings(const XSettings& published, GtkSettings& settings)
{
    const auto take = [&published](const char* name, std::string& setting) {
        const auto found = published.find(name);
        if (found != published.end())
            if (const auto* text = std::get_if<std::string>(&found->second))
                setting = *text;
    };
    take("Gtk/FontName", settings.fontName);
    take("Net/ThemeName", settings.themeName);
    take("Net/IconThemeName", settings.iconThemeName);
}

DesktopFont SplitGtkFontName(std::string_view name)
{
    if (name.empty())
        name = "Sans Serif 9";
    const std::size_t space = name.rfind(' ');
    const std::string_view family = space == std::string_view::npos ? name : name.substr(0, space);
    const std::string_view size =
        Trimmed(space == std::string_view::npos ? name : name.substr(space + 1));
    // Qt reads the size as a float in the C locale and keeps whole points; one it cannot
    // read, or one no font could have, leaves Qt's default.
    float points = 0;
    const auto [end, error] = std::from_chars(size.data(), size.data() + size.size(), points);
    const bool read = error == std::errc() && end == size.data() + size.size();
    const bool plausible = read && std::isfinite(points) && points > 0 && points < 10000;
    return {std::string(family), plausible ? static_cast<int>(points) : 0};
}

bool TakesDarkPalette(const GtkSettings& settings, std::string_view gtkTheme)
{
    if (!gtkTheme.empty())
        return ContainsDarkVariant(gtkTheme);
    return settings.preferDarkTheme || ContainsDarkVariant(settings.themeName);
}

} // namespace vexalo
