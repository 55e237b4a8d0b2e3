// SPDX-License-Identifier: MIT
#pragma once

// The two display systems' halves of activation, for activation.cpp alone.

#include "launch/activation.h"

namespace vexalo::platform {

Activation BeginActivationX11(const ToolWindow& window, std::string_view program);
void WithdrawActivationX11(const ToolWindow& window, const Activation& activation);
Activation BeginActivationWayland(const ToolWindow& window);

} // namespace vexalo::platform
