// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>

struct wl_display;
struct wl_event_queue;

namespace vexalo {

// wl_display_roundtrip_queue with a deadline: returns true once the compositor has answered
// everything sent so far and the events of `queue` (the default queue when null) have been
// dispatched. `proxy` is `display`, or a wrapper of it whose events go to `queue`.
bool Roundtrip(wl_display* display, wl_display* proxy, wl_event_queue* queue,
               std::chrono::steady_clock::time_point deadline);

} // namespace vexalo
