// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace vexalo {

// The running binary's path as the kernel names it (an install path need not be valid in the
// locale's encoding), from which the tool finds its private files. Empty where the kernel does
// not say, or where that name no longer leads to the running binary: moved, replaced or
// deleted, its folder's name may since have been taken by anyone. Never throws but
// std::bad_alloc.
std::string RunningBinary();

// RunningBinary()'s folder, ending in '/'; empty where that is.
std::string RunningBinaryFolder();

} // namespace vexalo
