// SPDX-License-Identifier: MIT
#include "core/desktop_mode_platform.h"
#include "core/wayland_roundtrip.h"

#include "xdg-output-unstable-v1-client-protocol.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>
#include <wayland-client.h>

namespace vexalo::platform {
namespace {

// Compositors scan out 32-bit pixels; the protocol has no notion of a desktop depth.
constexpr std::int16_t kWaylandBitsPerPixel = 32;

// A compositor that accepts the connection but never answers must not hang Save.
constexpr std::chrono::milliseconds kAnswerTimeout{2000};

struct Output {
    wl_output* output = nullptr;
    zxdg_output_v1* xdgOutput = nullptr;
    std::string name; // from wl_output 4 or xdg-output 2; older compositors name none
    Rect logical;     // from xdg-output; else wl_output's position and the mode over the scale
    std::int32_t scale = 1;
    std::int32_t transform = WL_OUTPUT_TRANSFORM_NORMAL;
    std::int32_t width = 0; // the current mode, in physical pixels before the transform
    std::int32_t height = 0;
};

struct Globals {
    std::vector<std::unique_ptr<Output>> outputs;
    zxdg_output_manager_v1* xdgOutputManager = nullptr;

    ~Globals()
    {
        // The connection closes right after; only the client-side proxies need freeing.
        for (const auto& o : outputs) {
            if (o->xdgOutput)
                wl_proxy_destroy(reinterpret_cast<wl_proxy*>(o->xdgOutput));
            wl_proxy_destroy(reinterpret_cast<wl_proxy*>(o->output));
        }
        if (xdgOutputManager)
            wl_proxy_destroy(reinterpret_cast<wl_proxy*>(xdgOutputManager));
    }
};

struct DisplayDeleter {
    void operator()(wl_display* d) const noexcept { wl_display_disconnect(d); }
};
struct RegistryDeleter {
    void operator()(wl_registry* r) const noexcept { wl_registry_destroy(r); }
};

void OnGeometry(void* data, wl_output*, std::int32_t x, std::int32_t y, std::int32_t, std::int32_t,
                std::int32_t, const char*, const char*, std::int32_t transform)
{
    auto* o = static_cast<Output*>(data);
    if (!o->xdgOutput) {
        o->logical.x = x;
        o->logical.y = y;
    }
    o->transform = transform;
}

void OnMode(void* data, wl_output*, std::uint32_t flags, std::int32_t width, std::int32_t height,
            std::int32_t)
{
    if (!(flags & WL_OUTPUT_MODE_CURRENT))
        return;
    auto* o = static_cast<Output*>(data);
    o->width = width;
    o->height = height;
}

void OnScale(void* data, wl_output*, std::int32_t scale)
{
    static_cast<Output*>(data)->scale = std::max(scale, 1);
}

void OnName(void* data, wl_output*, const char* name)
{
    static_cast<Output*>(data)->name = name;
}

void Ignore(void*, wl_output*) {}
void Ignore(void*, wl_output*, const char*) {}

const wl_output_listener kOutputListener = {OnGeometry, OnMode, Ignore, OnScale, OnName, Ignore};

void OnXdgName(void* data, zxdg_output_v1*, const char* name)
{
    static_cast<Output*>(data)->name = name;
}

void OnXdgPosition(void* data, zxdg_output_v1*, std::int32_t x, std::int32_t y)
{
    auto* o = static_cast<Output*>(data);
    o->logical.x = x;
    o->logical.y = y;
}

void OnXdgSize(void* data, zxdg_output_v1*, std::int32_t width, std::int32_t height)
{
    auto* o = static_cast<Output*>(data);
    o->logical.width = width;
    o->logical.height = height;
}

void IgnoreXdg(void*, zxdg_output_v1*) {}
void IgnoreXdg(void*, zxdg_output_v1*, const char*) {}

const zxdg_output_v1_listener kXdgOutputListener = {OnXdgPosition, OnXdgSize, IgnoreXdg, OnXdgName,
                                                    IgnoreXdg};

void OnGlobal(void* data, wl_registry* registry, std::uint32_t id, const char* interface,
              std::uint32_t version)
{
    auto* globals = static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_output_interface.name) == 0) {
        auto o = std::make_unique<Output>();
        // Version 2 tells the scale, 4 the name; what comes later is not asked for.
        o->output = static_cast<wl_output*>(
            wl_registry_bind(registry, id, &wl_output_interface, std::min(version, 4u)));
        if (!o->output)
            return;
        wl_output_add_listener(o->output, &kOutputListener, o.get());
        globals->outputs.push_back(std::move(o));
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0 && version >= 2 &&
               !globals->xdgOutputManager) {
        // Version 2 names the output, for compositors whose wl_output cannot yet.
        globals->xdgOutputManager = static_cast<zxdg_output_manager_v1*>(
            wl_registry_bind(registry, id, &zxdg_output_manager_v1_interface, 2));
    }
}

void OnGlobalRemove(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener kRegistryListener = {OnGlobal, OnGlobalRemove};

} // namespace

std::vector<WaylandOutput> QueryWaylandOutputs(const std::string& displayName)
{
    // libwayland finds a relative name in XDG_RUNTIME_DIR, and says so on stderr without one.
    if (displayName.empty() || (displayName.front() != '/' && !std::getenv("XDG_RUNTIME_DIR")))
        return {};
    std::unique_ptr<wl_display, DisplayDeleter> display(wl_display_connect(displayName.c_str()));
    if (!display)
        return {};
    const auto deadline = std::chrono::steady_clock::now() + kAnswerTimeout;

    Globals globals;
    std::unique_ptr<wl_registry, RegistryDeleter> registry(wl_display_get_registry(display.get()));
    if (!registry || wl_registry_add_listener(registry.get(), &kRegistryListener, &globals) != 0 ||
        !Roundtrip(display.get(), display.get(), nullptr, deadline))
        return {};
    for (const auto& o : globals.outputs) {
        if (!globals.xdgOutputManager)
            break;
        o->xdgOutput = zxdg_output_manager_v1_get_xdg_output(globals.xdgOutputManager, o->output);
        if (o->xdgOutput)
            zxdg_output_v1_add_listener(o->xdgOutput, &kXdgOutputListener, o.get());
    }
    // The outputs send their state when bound; the xdg outputs when made.
    if (!Roundtrip(display.get(), display.get(), nullptr, deadline))
        return {};

    std::vector<WaylandOutput> shown;
    for (const auto& o : globals.outputs) {
        if (o->width <= 0 || o->height <= 0)
            continue;
        // Odd transforms (90, 270 and their flipped forms) turn the output on its side.
        const bool sideways = (o->transform & 1) != 0;
        const std::int32_t width = sideways ? o->height : o->width;
        const std::int32_t height = sideways ? o->width : o->height;
        Rect area = o->logical;
        if (area.width <= 0 || area.height <= 0) {
            area.width = width / o->scale;
            area.height = height / o->scale;
        }
        shown.push_back(
            WaylandOutput{o->name, area, DesktopMode{true, width, height, kWaylandBitsPerPixel}});
    }
    return shown;
}

} // namespace vexalo::platform
