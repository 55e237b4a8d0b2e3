// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace vexalo {

// The working directory's absolute name, as the kernel's bytes. Empty where the system cannot
// name it: longer than it can say, or no longer reachable from the root (deleted, or outside
// a chroot); the process still works in it.
std::string WorkingDirectory();

} // namespace vexalo
