// SPDX-License-Identifier: MIT
#include "app/without_gl.h"

#include "core/private_files.h"
#include "core/wayland_compositor.h"

#include <QLibraryInfo>
#include <QVersionNumber>
#include <QtGlobal>

#include <string>
#include <unistd.h>

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

// A manifest without its library would leave libglvnd no vendor at all: then Qt says "EGL not
// available" and draws no title bar. Either missing, the GL stack is the lesser loss.
bool StandInInstalled(const std::string& manifest)
{
    return !manifest.empty() && ::access(manifest.c_str(), R_OK) == 0 &&
           ::access(StandInEglLibrary().c_str(), R_OK) == 0;
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
    // The user's own choice of EGL vendors stands, and so the GL stack.
    const std::string manifest = StandInEglManifest();
    if (qEnvironmentVariableIsSet(kEglVendors) ||
        qEnvironmentVariableIsSet("__EGL_VENDOR_LIBRARY_DIRS") || !StandInInstalled(manifest))
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
