// SPDX-License-Identifier: MIT
#include "dialog/desktop_target.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
// Last: Xlib's macros clash with Qt's names.
#include <X11/Xlib.h>

namespace vexalo {
namespace {

// The name of the X display Qt itself opened: `-display :14` wins over DISPLAY.
std::string QtXDisplayName()
{
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    Display* display = x11 ? x11->display() : nullptr;
    return display ? DisplayString(display) : std::string();
}

} // namespace

DesktopTarget DesktopTargetOf(const QWidget& window)
{
    DesktopTarget target;
    // Qt names an xcb screen after its RandR output, a Wayland screen after its wl_output.
    if (const QScreen* screen = window.screen())
        target.monitor = screen->name().toStdString();
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb"))
        target.xDisplay = QtXDisplayName();
    // Qt's wayland plugin, like libwayland, takes wayland-0 when WAYLAND_DISPLAY is unset.
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    if (!wayland.isEmpty())
        target.waylandDisplay = wayland.toStdString();
    else if (platform.startsWith(QLatin1String("wayland")))
        target.waylandDisplay = "wayland-0";
    return target;
}

} // namespace vexalo
