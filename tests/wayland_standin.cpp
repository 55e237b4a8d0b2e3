// SPDX-License-Identifier: MIT
// Stands in for the renderer on Wayland: maps one small window, activates it with the token
// it was given in XDG_ACTIVATION_TOKEN, as a toolkit does, and writes "token=VALUE" and
// "startup_id=VALUE" (or "none"), then "NAME=value" for each of the tool's own Wayland variables
// it got, to the file named in RENDERER_RECORD. Then keeps running. Its app id is
// "renderer-standin", or the argument given.
#include "xdg-activation-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {

constexpr int kSize = 64;

struct State {
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    xdg_wm_base* shell = nullptr;
    xdg_activation_v1* activation = nullptr;
    bool configured = false;
};

void OnGlobal(void* data, wl_registry* registry, uint32_t name, const char* interface, uint32_t)
{
    auto* s = static_cast<State*>(data);
    const auto bind = [&](const wl_interface* wanted, uint32_t version) {
        return std::strcmp(interface, wanted->name) == 0
                   ? wl_registry_bind(registry, name, wanted, version)
                   : nullptr;
    };
    if (void* p = bind(&wl_compositor_interface, 4))
        s->compositor = static_cast<wl_compositor*>(p);
    else if (void* p = bind(&wl_shm_interface, 1))
        s->shm = static_cast<wl_shm*>(p);
    else if (void* p = bind(&xdg_wm_base_interface, 1))
        s->shell = static_cast<xdg_wm_base*>(p);
    else if (void* p = bind(&xdg_activation_v1_interface, 1))
        s->activation = static_cast<xdg_activation_v1*>(p);
}
void OnGlobalRemove(void*, wl_registry*, uint32_t) {}
constexpr wl_registry_listener kRegistry = {OnGlobal, OnGlobalRemove};

void OnPing(void*, xdg_wm_base* shell, uint32_t serial)
{
    xdg_wm_base_pong(shell, serial);
}
constexpr xdg_wm_base_listener kShell = {OnPing};

void OnConfigure(void* data, xdg_surface* surface, uint32_t serial)
{
    xdg_surface_ack_configure(surface, serial);
    static_cast<State*>(data)->configured = true;
}
constexpr xdg_surface_listener kSurface = {OnConfigure};

void OnToplevelConfigure(void*, xdg_toplevel*, int32_t, int32_t, wl_array*) {}
void OnClose(void*, xdg_toplevel*) {}
void OnBounds(void*, xdg_toplevel*, int32_t, int32_t) {}
void OnCapabilities(void*, xdg_toplevel*, wl_array*) {}
constexpr xdg_toplevel_listener kToplevel = {OnToplevelConfigure, OnClose, OnBounds,
                                             OnCapabilities};

wl_buffer* WhiteBuffer(wl_shm* shm)
{
    const int stride = kSize * 4, size = stride * kSize;
    const int fd = memfd_create("standin", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) != 0)
        std::exit(1);
    void* pixels = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    std::memset(pixels, 0xff, size);
    munmap(pixels, size);
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, size);
    wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, kSize, kSize, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

} // namespace

int main(int argc, char** argv)
{
    wl_display* display = wl_display_connect(nullptr);
    if (!display)
        return 1;
    State s;
    wl_registry_add_listener(wl_display_get_registry(display), &kRegistry, &s);
    wl_display_roundtrip(display);
    if (!s.compositor || !s.shm || !s.shell)
        return 1;
    xdg_wm_base_add_listener(s.shell, &kShell, nullptr);

    wl_surface* surface = wl_compositor_create_surface(s.compositor);
    xdg_surface* role = xdg_wm_base_get_xdg_surface(s.shell, surface);
    xdg_surface_add_listener(role, &kSurface, &s);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(role);
    xdg_toplevel_add_listener(toplevel, &kToplevel, nullptr);
    xdg_toplevel_set_app_id(toplevel, argc > 1 ? argv[1] : "renderer-standin");
    wl_surface_commit(surface);
    while (!s.configured && wl_display_dispatch(display) >= 0) {
    }
    wl_surface_attach(surface, WhiteBuffer(s.shm), 0, 0);
    wl_surface_commit(surface);
    wl_display_roundtrip(display);

    const char* token = std::getenv("XDG_ACTIVATION_TOKEN");
    if (token && s.activation)
        xdg_activation_v1_activate(s.activation, token, surface);
    wl_display_roundtrip(display);
    if (const char* record = std::getenv("RENDERER_RECORD")) {
        const std::string part = std::string(record) + ".part";
        if (FILE* f = std::fopen(part.c_str(), "w")) {
            const char* startupId = std::getenv("DESKTOP_STARTUP_ID");
            std::fprintf(f, "token=%s\nstartup_id=%s\n", token ? token : "none",
                         startupId ? startupId : "none");
            // What the tool set for its own window only must not reach the renderer.
            for (const char* name : {"QT_WAYLAND_CLIENT_BUFFER_INTEGRATION",
                                     "__EGL_VENDOR_LIBRARY_FILENAMES", "XCURSOR_PATH"})
                if (const char* value = std::getenv(name))
                    std::fprintf(f, "%s=%s\n", name, value);
            std::fclose(f);
            std::rename(part.c_str(), record);
        }
    }
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}
