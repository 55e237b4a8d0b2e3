// SPDX-License-Identifier: MIT
#include "app/without_gl.h"

#include "core/wayland_compositor.h"
#include "egl/standin.h"

#include <QLibraryInfo>
#include <QVersionNumber>
#include <QtGlobal>

#include <string>

namespace vexalo {
namespace {

constexpr char kBufferIntegration[] = "QT_WAYLAND_CLIENT_BUFFER_INTEGRATION";
constexpr char kEglVendors[] = "__EGL_VENDOR_LIBRARY_FILENAMES";

// The Wayland display Qt will connect to; empty where Qt will not use its Wayland plugin.
QByteArray WaylandDisplay()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    QByteArray display = qgetenv("WAYLAND_DISPLAY");
    if (display.isEmpty() && platform.startsWith("wayland"))
        display = "wayland-0";
    return !platform.isEmpty() && !platform.startsWith("wayland") ? QByteArray() : display;
}

} // namespace

bool NativeOnWayland()
{
    return !WaylandDisplay().isEmpty();
}

WithoutGl OpenWithoutGl()
{
    const QByteArray display = WaylandDisplay();
    if (display.isEmpty() || qEnvironmentVariableIsSet(kBufferIntegration))
        return WithoutGl::AsQtChooses;
    if (QLibraryInfo::version() >= QVersionNumber(6, 8) ||
        CompositorDecoratesWindows(display.toStdString())) {
        qputenv(kBufferIntegration, "none");
        return WithoutGl::NoBufferIntegration;
    }
    // The user's own choice of EGL vendors stands, and so the GL stack. Without a stand-in the
    // tool may load, the GL stack is the lesser loss: with no vendor at all, Qt would say "EGL
    // not available" and draw no title bar.
    if (qEnvironmentVariableIsSet(kEglVendors) ||
        qEnvironmentVariableIsSet("__EGL_VENDOR_LIBRARY_DIRS"))
        return WithoutGl::AsQtChooses;
    const std::string manifest = StandInEglManifest();
    if (manifest.empty())
        return WithoutGl::AsQtChooses;
    qputenv(kEglVendors, QByteArray::fromStdString(manifest));
    return WithoutGl::StandInEglVendor;
}

void TakeBack(WithoutGl choice)
{
    if (choice == WithoutGl::NoBufferIntegration)
        qunsetenv(kBufferIntegration);
    else if (choice == WithoutGl::StandInEglVendor)
        qunsetenv(kEglVendors);
}

} // namespace vexalo
