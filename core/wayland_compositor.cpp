// SPDX-License-Identifier: MIT
#include "core/wayland_compositor.h"

#include "core/wayland_roundtrip.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <wayland-client.h>

namespace vexalo {
namespace {

void OnGlobal(void* data, wl_registry*, std::uint32_t, const char* interface, std::uint32_t)
{
    if (std::strcmp(interface, "zxdg_decoration_manager_v1") == 0)
        *static_cast<bool*>(data) = true;
}

void OnGlobalRemove(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

// Asked before the window opens, so a compositor that does not answer delays it little.
constexpr std::chrono::milliseconds kAnswerTimeout{500};

} // namespace

bool CompositorDecoratesWindows(const std::string& display)
{
    // libwayland finds a relative name in XDG_RUNTIME_DIR, and says so on stderr without one.
    if (display.empty() || (display.front() != '/' && !std::getenv("XDG_RUNTIME_DIR")))
        return false;
    const std::unique_ptr<wl_display, decltype(&wl_display_disconnect)> connection(
        wl_display_connect(display.c_str()), &wl_display_disconnect);
    if (!connection)
        return false;
    bool decorates = false;
    const std::unique_ptr<wl_registry, decltype(&wl_registry_destroy)> registry(
        wl_display_get_registry(connection.get()), &wl_registry_destroy);
    return registry &&
           wl_registry_add_listener(registry.get(), &kRegistryListener, &decorates) == 0 &&
           Roundtrip(connection.get(), connection.get(), nullptr,
                     std::chrono::steady_clock::now() + kAnswerTimeout) &&
           decorates;
}

} // namespace vexalo
