// SPDX-License-Identifier: MIT
#pragma once

#include <cstdlib>
#include <memory>

namespace vexalo {

// Frees what xcb hands out with malloc: replies and events.
struct XcbFree {
    void operator()(void* p) const noexcept { std::free(p); }
};

// Owns one xcb reply or event; null when the request failed.
template <typename T> using XcbReply = std::unique_ptr<T, XcbFree>;

} // namespace vexalo
