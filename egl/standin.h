// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace vexalo {

// The manifest by which libglvnd finds the tool's stand-in EGL vendor (egl_standin.c), written
// when first asked for, as "/proc/self/fd/N". The vendor is the one installed beside the running
// binary (lib/vexalo-config/egl beside bin/, the same place in the build tree), judged by the
// trust rule with every folder on its way, and loaded once before it is chosen; the manifest
// names the very file judged. Empty where there is none the tool may load. No name in it can
// hold a ':', which would split libglvnd's list. Never throws but std::bad_alloc.
std::string StandInEglManifest();

} // namespace vexalo
