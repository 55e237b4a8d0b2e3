// SPDX-License-Identifier: MIT
#include "dialog/activation.h"

#include <QGuiApplication>

namespace vexalo {
namespace {

constexpr std::string_view kStartupId = "DESKTOP_STARTUP_ID=";

bool OnX11()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

} // namespace

std::vector<std::string> AnnounceLaunch(QWidget& window, std::string_view program)
{
    if (OnX11())
        return platform::AnnounceLaunchX11(window, program);
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return platform::RequestActivationToken(window);
    return {};
}

void WithdrawLaunch(QWidget& window, const std::vector<std::string>& handOver)
{
    // A Wayland token that is never used simply expires; only X11 has a launch to end.
    for (const std::string& entry : handOver) {
        if (OnX11() && entry.starts_with(kStartupId))
            platform::WithdrawLaunchX11(window, std::string_view(entry).substr(kStartupId.size()));
    }
}

} // namespace vexalo
