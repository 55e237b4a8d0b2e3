// SPDX-License-Identifier: MIT
#pragma once

// Starting the renderer: where it is looked for, how a Windows renderer runs through Wine,
// and the activation that lets its first window take the focus from the user's click. The
// renderer gets no arguments, the working directory, the tool's environment and a session of
// its own; the tool does not wait for it.

#include "launch/types.h"

namespace vexalo {

// Returns the running tool's places: its binary's directory, the working directory and PATH.
SearchPlaces CurrentSearchPlaces();

// Starts the renderer found in `places`, detached, activated from `window` and on its
// display; throws Error when it cannot be started. A Windows renderer's "wine start" is
// waited for through `wait`, at most kWineStartBound; past that it counts as started.
void StartRendererFrom(const ToolWindow& window, const SearchPlaces& places,
                       const WaitForReadable& wait = {});

} // namespace vexalo
