// SPDX-License-Identifier: MIT
// Wayland: an xdg_activation_v1 token for the tool's window, tied to the serial of the user's
// input, which the compositor grants to the program that presents it.
#include "launch/activation_platform.h"

#include "core/wayland_roundtrip.h"
#include "xdg-activation-v1-client-protocol.h"

#include <chrono>
#include <cstring>
#include <wayland-client.h>

namespace vexalo::platform {
namespace {

struct Globals {
    xdg_activation_v1* activation = nullptr;
    bool seat = false;
};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface,
              uint32_t /*version*/)
{
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0)
        globals->seat = true;
    if (!globals->activation && std::strcmp(interface, xdg_activation_v1_interface.name) == 0)
        globals->activation = static_cast<xdg_activation_v1*>(
            wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1));
}

void OnGlobalRemove(void*, wl_registry*, uint32_t) {}

constexpr wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

void OnToken(void* data, xdg_activation_token_v1*, const char* token)
{
    *static_cast<std::string*>(data) = token;
}

constexpr xdg_activation_token_v1_listener kTokenListener = {OnToken};

// A compositor that does not answer must not hang Save and Start: the renderer then starts
// without a token.
constexpr std::chrono::milliseconds kAnswerTimeout{2000};

} // namespace

Activation BeginActivationWayland(const ToolWindow& window)
{
    wl_display* display = window.wlDisplay;
    wl_surface* surface = window.wlSurface;
    if (!display)
        return {};

    // A queue of our own, so Qt's event handling never sees these objects.
    wl_event_queue* queue = wl_display_create_queue(display);
    auto* wrapper = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapper), queue);
    wl_registry* registry = wl_display_get_registry(wrapper);
    Globals globals;
    wl_registry_add_listener(registry, &kRegistryListener, &globals);
    const auto deadline = std::chrono::steady_clock::now() + kAnswerTimeout;
    const bool answered = Roundtrip(display, wrapper, queue, deadline);

    std::string token;
    if (answered && globals.activation) {
        xdg_activation_token_v1* request =
            xdg_activation_v1_get_activation_token(globals.activation);
        xdg_activation_token_v1_add_listener(request, &kTokenListener, &token);
        // The seat and serial of the user's input, asked only where the compositor has a seat.
        if (globals.seat && window.wlInput) {
            if (const ToolWindow::WaylandInput input = window.wlInput();
                input.seat && input.serial != 0)
                xdg_activation_token_v1_set_serial(request, input.serial, input.seat);
        }
        if (surface)
            xdg_activation_token_v1_set_surface(request, surface);
        xdg_activation_token_v1_commit(request);
        for (int round = 0; token.empty() && round < 3; ++round) {
            if (!Roundtrip(display, wrapper, queue, deadline))
                break;
        }
        xdg_activation_token_v1_destroy(request);
    }
    if (globals.activation)
        xdg_activation_v1_destroy(globals.activation);
    wl_registry_destroy(registry);
    wl_proxy_wrapper_destroy(wrapper);
    wl_event_queue_destroy(queue);
    if (token.empty())
        return {};
    // A renderer that runs through XWayland knows only startup ids; Wayland compositors take
    // the token for one, as desktop launchers hand it over.
    return {{"XDG_ACTIVATION_TOKEN=" + token, "DESKTOP_STARTUP_ID=" + token}, {}};
}

} // namespace vexalo::platform
