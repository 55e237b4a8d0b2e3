// SPDX-License-Identifier: MIT
#pragma once

// The detached start: the renderer in a session of its own, left to init, with the signals
// the tool ignores or blocks back at their defaults and no descriptor but 0 to 2.

#include "launch/plan.h"
#include "launch/types.h"

namespace vexalo {

// Starts `plan` detached; throws Error naming the step that failed. For `waitForExit`, the
// start's own end is waited for through `wait`, at most kWineStartBound, and a failure is
// reported with the last line it printed.
void SpawnDetached(const ExecPlan& plan, const WaitForReadable& wait);

} // namespace vexalo
