// SPDX-License-Identifier: MIT
#include "app/desktop_look.h"

#include "app/gsettings_reader.h"
#include "app/without_gl.h"
#include "core/gtk_settings.h"
#include "core/xcb_reply.h"
#include "core/xsettings.h"

#include <QApplication>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QPalette>
#include <QVersionNumber>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <xcb/xcb.h>

namespace vexalo {
namespace {

constexpr char kPlatformTheme[] = "QT_QPA_PLATFORMTHEME";
constexpr char kCursorPath[] = "XCURSOR_PATH";

// Qt's own options that choose the platform, its theme or the style: a user's choice.
bool QtOptionChoosesLook(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        QByteArray option(argv[i]);
        if (option.startsWith("--"))
            option.remove(0, 1);
        if (option == "-platform" || option == "-platformtheme" || option == "-style")
            return true;
    }
    return false;
}

// Where Qt would open the window on X11, as QT_QPA_PLATFORM and the displays say.
bool OnX11()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    return !NativeOnWayland() && (platform.isEmpty() || platform.startsWith("xcb")) &&
           !qEnvironmentVariableIsEmpty("DISPLAY");
}

// The desktop's names as Qt 6.4 finds them, upper case, ':' between them.
QByteArray DesktopNames()
{
    const QByteArray current = qgetenv("XDG_CURRENT_DESKTOP");
    if (!current.isEmpty())
        return current.toUpper();
    if (!qEnvironmentVariableIsEmpty("KDE_FULL_SESSION"))
        return "KDE";
    if (!qEnvironmentVariableIsEmpty("GNOME_DESKTOP_SESSION_ID"))
        return "GNOME";
    // Qt reads the names from a session file where DESKTOP_SESSION is a path: left to Qt.
    const QByteArray session = qgetenv("DESKTOP_SESSION");
    return session == "gnome" ? "GNOME" : session == "xfce" ? "XFCE" : QByteArray();
}

// Whether Qt 6.4 would choose its GTK theme for this desktop: one of its names is one Qt
// counts as GTK-based. Where one is KDE, the look stays Qt's to choose.
bool QtChoosesGtkTheme()
{
    static const QByteArrayList gtkBased = {"GNOME", "X-CINNAMON", "UNITY", "MATE", "XFCE", "LXDE"};
    const QByteArrayList names = DesktopNames().split(':');
    return !names.contains("KDE") &&
           std::any_of(names.begin(), names.end(),
                       [](const QByteArray& name) { return gtkBased.contains(name); });
}

// Whether Qt finds its GTK theme's plugin; without it, Qt takes its GNOME theme as it is.
bool GtkThemeInstalled()
{
    QStringList folders = qEnvironmentVariable("QT_PLUGIN_PATH").split(u':', Qt::SkipEmptyParts);
    folders << QLibraryInfo::path(QLibraryInfo::PluginsPath);
    return std::any_of(folders.begin(), folders.end(), [](const QString& folder) {
        return QFileInfo::exists(folder + QStringLiteral("/platformthemes/libqgtk3.so"));
    });
}

// The bytes a settings manager publishes on the screen GTK would use (DISPLAY's), over Qt's
// own connection; empty where no manager runs. Larger than any real one (a megabyte), they
// are not read at all.
std::vector<std::uint8_t> ReadXSettingsProperty()
{
    const auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11)
        return {};
    xcb_connection_t* connection = x11->connection();
    char* host = nullptr;
    int display = 0, screen = 0;
    if (xcb_parse_display(nullptr, &host, &display, &screen) == 0)
        screen = 0;
    std::free(host);
    const std::string selection = "_XSETTINGS_S" + std::to_string(screen);
    const xcb_intern_atom_cookie_t selectionCookie = xcb_intern_atom(
        connection, false, static_cast<std::uint16_t>(selection.size()), selection.data());
    constexpr std::string_view kProperty = "_XSETTINGS_SETTINGS";
    const xcb_intern_atom_cookie_t propertyCookie =
        xcb_intern_atom(connection, false, kProperty.size(), kProperty.data());
    const XcbReply<xcb_intern_atom_reply_t> selectionAtom(
        xcb_intern_atom_reply(connection, selectionCookie, nullptr));
    const XcbReply<xcb_intern_atom_reply_t> propertyAtom(
        xcb_intern_atom_reply(connection, propertyCookie, nullptr));
    if (!selectionAtom || !propertyAtom)
        return {};
    const XcbReply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        connection, xcb_get_selection_owner(connection, selectionAtom->atom), nullptr));
    if (!owner || owner->owner == XCB_NONE)
        return {};
    constexpr std::uint32_t kMaxWords = 256 * 1024;
    const XcbReply<xcb_get_property_reply_t> property(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, false, owner->owner, propertyAtom->atom,
                                                propertyAtom->atom, 0, kMaxWords),
                               nullptr));
    if (!property || property->format != 8 || property->type != propertyAtom->atom ||
        property->bytes_after != 0)
        return {};
    const auto* bytes = static_cast<const std::uint8_t*>(xcb_get_property_value(property.get()));
    return {bytes, bytes + xcb_get_property_value_length(property.get())};
}

// GTK's settings on Wayland, read once before Qt starts.
GtkSettings gsettings;

// Fusion's palette for a dark theme, as Qt 6.4 makes it where its platform theme says dark.
QPalette DarkFusionPalette()
{
    const QColor windowText(240, 240, 240);
    const QColor window(50, 50, 50);
    const QColor dark = window.darker(150);
    const QColor mid = window.darker(130);
    const QColor shadow = dark.darker(135);
    const QColor highlight(48, 140, 198);
    const QColor disabledText(130, 130, 130);
    QColor placeholder = windowText;
    placeholder.setAlpha(128);

    QPalette palette(windowText, window, window.lighter(150), dark, mid, windowText,
                     window.darker(140));
    palette.setBrush(QPalette::Midlight, mid.lighter(110));
    palette.setBrush(QPalette::Button, window);
    palette.setBrush(QPalette::Shadow, shadow);
    palette.setBrush(QPalette::HighlightedText, windowText);
    palette.setBrush(QPalette::Disabled, QPalette::Text, disabledText);
    palette.setBrush(QPalette::Disabled, QPalette::WindowText, disabledText);
    palette.setBrush(QPalette::Disabled, QPalette::ButtonText, disabledText);
    palette.setBrush(QPalette::Disabled, QPalette::Base, window);
    palette.setBrush(QPalette::Disabled, QPalette::Dark, QColor(209, 209, 209).darker(110));
    palette.setBrush(QPalette::Disabled, QPalette::Shadow, shadow.lighter(150));
    palette.setBrush(QPalette::Active, QPalette::Highlight, highlight);
    palette.setBrush(QPalette::Inactive, QPalette::Highlight, highlight);
    palette.setBrush(QPalette::Disabled, QPalette::Highlight, QColor(145, 145, 145));
    palette.setBrush(QPalette::PlaceholderText, placeholder);
    palette.setBrush(QPalette::Link, highlight);
    return palette;
}

} // namespace

DesktopLook ChooseDesktopLook(int argc, char* argv[])
{
    const bool onWayland = NativeOnWayland();
    const bool gtkTheme = !qEnvironmentVariableIsSet(kPlatformTheme) &&
                          !QtOptionChoosesLook(argc, argv) && QtChoosesGtkTheme() &&
                          GtkThemeInstalled();
    // From Qt 6.5 on, Qt's GTK theme takes GTK's own colours, which only GTK can tell.
    if (!gtkTheme || QLibraryInfo::version() >= QVersionNumber(6, 5) ||
        qEnvironmentVariableIsSet("QT_STYLE_OVERRIDE") || (!onWayland && !OnX11())) {
        if (!onWayland || qEnvironmentVariableIsSet(kCursorPath))
            return DesktopLook::AsQtChooses;
        qputenv(kCursorPath, "/dev/null");
        return DesktopLook::AsQtChoosesWithoutCursorFolder;
    }
    // Qt weighs the desktop's themes, its GTK theme first, only where it is aware of the
    // desktop's settings; unaware, it takes the theme named alone.
    QGuiApplication::setDesktopSettingsAware(false);
    qputenv(kPlatformTheme, "gnome");
    if (!onWayland)
        return DesktopLook::FromXSettings;
    // Qt's GTK theme gives Qt's Wayland plugin GTK's cursors, which Qt reads while it starts.
    gsettings = ReadGtkSettingsFiles();
    std::string cursorTheme;
    int cursorSize = 0;
    ReadGSettings(gsettings, cursorTheme, cursorSize);
    if (qEnvironmentVariableIsEmpty("XCURSOR_SIZE") && cursorSize > 0)
        qputenv("XCURSOR_SIZE", QByteArray::number(cursorSize));
    if (qEnvironmentVariableIsEmpty("XCURSOR_THEME") && !cursorTheme.empty())
        qputenv("XCURSOR_THEME", QByteArray::fromStdString(cursorTheme));
    return DesktopLook::FromGSettings;
}

void ApplyDesktopLook(DesktopLook look)
{
    if (look == DesktopLook::AsQtChoosesWithoutCursorFolder)
        qunsetenv(kCursorPath);
    if (look != DesktopLook::FromXSettings && look != DesktopLook::FromGSettings)
        return;
    qunsetenv(kPlatformTheme);
    QGuiApplication::setDesktopSettingsAware(true);

    GtkSettings settings = gsettings;
    if (look == DesktopLook::FromXSettings) {
        settings = ReadGtkSettingsFiles();
        const std::vector<std::uint8_t> published = ReadXSettingsProperty();
        ApplyXSettings(ParseXSettings(published), settings);
    }
    const DesktopFont font = SplitGtkFontName(settings.fontName);
    QApplication::setFont(QFont(QString::fromStdString(font.family), font.pointSize));
    if (TakesDarkPalette(settings, qgetenv("GTK_THEME").toStdString()))
        QApplication::setPalette(DarkFusionPalette());
    QIcon::setThemeName(QString::fromStdString(settings.iconThemeName));
}

} // namespace vexalo
