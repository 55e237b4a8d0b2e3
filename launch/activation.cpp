// SPDX-License-Identifier: MIT
#include "launch/activation.h"

#include "launch/activation_platform.h"

namespace vexalo::platform {

Activation BeginActivation(const ToolWindow& window, std::string_view program)
{
    if (window.xcb)
        return BeginActivationX11(window, program);
    if (window.wlDisplay)
        return BeginActivationWayland(window);
    return {};
}

void WithdrawActivation(const ToolWindow& window, const Activation& activation)
{
    // A Wayland token that is never used simply expires.
    if (window.xcb)
        WithdrawActivationX11(window, activation);
}

} // namespace vexalo::platform
