// SPDX-License-Identifier: MIT
#include "dialog/native_window.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <qpa/qplatformnativeinterface.h>
#include <qpa/qplatformwindow.h>
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

// The server time of the last button or key press the tool received, which is what ran the
// command; else the time of now.
std::uint32_t UserTime(QPlatformNativeInterface& native, QScreen* screen)
{
    if (!screen)
        return 0;
    auto time = reinterpret_cast<quintptr>(native.nativeResourceForScreen("appusertime", screen));
    if (time == 0)
        time = reinterpret_cast<quintptr>(native.nativeResourceForScreen("gettimestamp", screen));
    return static_cast<std::uint32_t>(time);
}

} // namespace

DesktopTarget DesktopTargetOf(const QWidget& window)
{
    DesktopTarget target;
    // Qt names an xcb screen after its RandR output, a Wayland screen after its wl_output.
    if (const QScreen* screen = window.screen())
        target.monitor = screen->name().toStdString();
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb")) {
        target.xDisplay = QtXDisplayName();
        // In the X screen's own pixels: where Qt scales, its geometry is in its own units.
        if (const QWindow* handle = window.windowHandle(); handle && handle->handle()) {
            const QPoint centre = handle->handle()->geometry().center();
            target.windowCentre = Point{centre.x(), centre.y()};
        }
    }
    // Qt's wayland plugin, like libwayland, takes wayland-0 when WAYLAND_DISPLAY is unset.
    const QByteArray wayland = qgetenv("WAYLAND_DISPLAY");
    if (!wayland.isEmpty())
        target.waylandDisplay = wayland.toStdString();
    else if (platform.startsWith(QLatin1String("wayland")))
        target.waylandDisplay = "wayland-0";
    return target;
}

ToolWindow ToolWindowOf(QWidget& window)
{
    ToolWindow tool;
    QPlatformNativeInterface* native = QGuiApplication::platformNativeInterface();
    if (!native)
        return tool;
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb")) {
        if (const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
            tool.xDisplay = QtXDisplayName();
            tool.xcb = x11->connection();
            tool.xWindow = static_cast<std::uint32_t>(window.winId());
            tool.xTime = UserTime(*native, window.screen());
        }
    } else if (platform.startsWith(QLatin1String("wayland"))) {
        tool.wlDisplay =
            static_cast<wl_display*>(native->nativeResourceForIntegration("wl_display"));
        if (QWindow* handle = window.windowHandle())
            tool.wlSurface =
                static_cast<wl_surface*>(native->nativeResourceForWindow("surface", handle));
        // Qt's seat and the serial of its last input event; Qt dereferences its seat without a
        // check, hence asked only where the compositor has one.
        tool.wlInput = [native] {
            return ToolWindow::WaylandInput{
                static_cast<wl_seat*>(native->nativeResourceForIntegration("wl_seat")),
                static_cast<std::uint32_t>(
                    reinterpret_cast<quintptr>(native->nativeResourceForIntegration("serial")))};
        };
    }
    return tool;
}

} // namespace vexalo
