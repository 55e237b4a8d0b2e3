// SPDX-License-Identifier: MIT
#pragma once

// The detached start: the renderer in a session of its own, left to init, with the signals
// the tool ignores or blocks back at their defaults and no descriptor but 0 to 2.

#include "launch/launch.h"

namespace vexalo {

// Everything the forked child needs, made before the fork: the child may only make
// async-signal-safe calls, since the tool has other threads.
struct ExecPlan {
    int fd = -1;                      // a program run as it was checked, or -1
    const char* path = nullptr;       // else the name it runs by
    char* const* argv = nullptr;      //
    char* const* shellArgv = nullptr; // when the kernel refuses text, or null
    bool waitForExit = false;         // "wine start", whose end is waited for
    char* const* envp = nullptr;
};

// Starts `plan` detached; throws Error naming the step that failed. For `waitForExit`, the
// start's own end is waited for through `wait`, at most kWineStartBound, and a failure is
// reported with the last line it printed.
void SpawnDetached(const ExecPlan& plan, const WaitForReadable& wait);

} // namespace vexalo
