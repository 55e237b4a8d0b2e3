// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace vexalo {

// The running binary's path as the kernel names it: an install path need not be valid in the
// locale's encoding. Empty where the kernel does not say.
std::string RunningBinary();

// The stand-in EGL vendor (app/egl_standin.c) and the manifest by which libglvnd finds it, in
// the package's private library folder: lib/vexalo-config/egl beside the binary's bin/ as
// installed, the same place relative to the binary in the build tree. Paths as the kernel names
// the running binary; empty where it does not. Never throws but std::bad_alloc.
std::string StandInEglManifest();
std::string StandInEglLibrary();

} // namespace vexalo
