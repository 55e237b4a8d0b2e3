// SPDX-License-Identifier: MIT
#include "core/wayland_roundtrip.h"

#include <cerrno>
#include <cstdint>
#include <memory>
#include <poll.h>
#include <wayland-client.h>

namespace vexalo {
namespace {

void OnSyncDone(void* data, wl_callback*, std::uint32_t)
{
    *static_cast<bool*>(data) = true;
}

const wl_callback_listener kSyncListener = {OnSyncDone};

} // namespace

bool Roundtrip(wl_display* display, wl_display* proxy, wl_event_queue* queue,
               std::chrono::steady_clock::time_point deadline)
{
    bool done = false;
    std::unique_ptr<wl_callback, decltype(&wl_callback_destroy)> sync(wl_display_sync(proxy),
                                                                      &wl_callback_destroy);
    if (!sync || wl_callback_add_listener(sync.get(), &kSyncListener, &done) != 0)
        return false;
    const auto prepare = [&] {
        return queue ? wl_display_prepare_read_queue(display, queue)
                     : wl_display_prepare_read(display);
    };
    const auto dispatch = [&] {
        return queue ? wl_display_dispatch_queue_pending(display, queue)
                     : wl_display_dispatch_pending(display);
    };
    while (!done) {
        if (prepare() != 0) {
            if (dispatch() < 0)
                return false;
            continue;
        }
        if (wl_display_flush(display) < 0 && errno != EAGAIN) {
            wl_display_cancel_read(display);
            return false;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd fd{wl_display_get_fd(display), POLLIN, 0};
        if (left.count() <= 0 || poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            wl_display_cancel_read(display);
            return false;
        }
        if (wl_display_read_events(display) < 0 || dispatch() < 0)
            return false;
    }
    return true;
}

} // namespace vexalo
