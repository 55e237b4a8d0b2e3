// SPDX-License-Identifier: MIT
#include "core/desktop_mode.h"

#include <cstdlib>
#include <memory>
#include <optional>
#include <xcb/randr.h>
#include <xcb/xcb.h>

namespace vexalo {
namespace {

struct FreeDeleter {
    void operator()(void* p) const noexcept { std::free(p); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeDeleter>;

struct ConnectionDeleter {
    void operator()(xcb_connection_t* c) const noexcept { xcb_disconnect(c); }
};
using Connection = std::unique_ptr<xcb_connection_t, ConnectionDeleter>;

struct Size {
    std::int32_t width;
    std::int32_t height;
};

const xcb_screen_t* ScreenAt(const xcb_setup_t* setup, int number)
{
    for (auto it = xcb_setup_roots_iterator(setup); it.rem > 0; xcb_screen_next(&it), --number) {
        if (number == 0)
            return it.data;
    }
    return nullptr;
}

std::optional<std::int16_t> PixmapBitsPerPixel(const xcb_setup_t* setup, std::uint8_t depth)
{
    for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem > 0; xcb_format_next(&it)) {
        if (it.data->depth == depth)
            return it.data->bits_per_pixel;
    }
    return std::nullopt;
}

// The size of the CRTC that drives `output`, if it is connected and lit.
std::optional<Size> OutputSize(xcb_connection_t* c, xcb_randr_output_t output,
                               xcb_timestamp_t timestamp)
{
    Reply<xcb_randr_get_output_info_reply_t> info(xcb_randr_get_output_info_reply(
        c, xcb_randr_get_output_info(c, output, timestamp), nullptr));
    if (!info || info->connection != XCB_RANDR_CONNECTION_CONNECTED || info->crtc == XCB_NONE)
        return std::nullopt;
    Reply<xcb_randr_get_crtc_info_reply_t> crtc(xcb_randr_get_crtc_info_reply(
        c, xcb_randr_get_crtc_info(c, info->crtc, timestamp), nullptr));
    if (!crtc || crtc->width == 0 || crtc->height == 0)
        return std::nullopt;
    return Size{crtc->width, crtc->height};
}

// The primary monitor's size; without a primary, the first lit output's. Needs RandR 1.3.
std::optional<Size> MonitorSize(xcb_connection_t* c, xcb_window_t root)
{
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_randr_id);
    if (!ext || !ext->present)
        return std::nullopt;
    Reply<xcb_randr_query_version_reply_t> version(
        xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 3), nullptr));
    if (!version || version->major_version < 1 ||
        (version->major_version == 1 && version->minor_version < 3))
        return std::nullopt;

    Reply<xcb_randr_get_screen_resources_current_reply_t> resources(
        xcb_randr_get_screen_resources_current_reply(
            c, xcb_randr_get_screen_resources_current(c, root), nullptr));
    if (!resources)
        return std::nullopt;
    const xcb_timestamp_t timestamp = resources->config_timestamp;

    Reply<xcb_randr_get_output_primary_reply_t> primary(
        xcb_randr_get_output_primary_reply(c, xcb_randr_get_output_primary(c, root), nullptr));
    if (primary && primary->output != XCB_NONE) {
        if (auto size = OutputSize(c, primary->output, timestamp))
            return size;
    }

    const xcb_randr_output_t* outputs =
        xcb_randr_get_screen_resources_current_outputs(resources.get());
    const int count = xcb_randr_get_screen_resources_current_outputs_length(resources.get());
    for (int i = 0; i < count; ++i) {
        if (auto size = OutputSize(c, outputs[i], timestamp))
            return size;
    }
    return std::nullopt;
}

Connection Connect(const char* displayName, int* screenNumber)
{
    Connection c(xcb_connect(displayName, screenNumber));
    if (c && xcb_connection_has_error(c.get()))
        c.reset();
    return c;
}

} // namespace

DesktopMode QueryDesktopMode()
{
    return QueryDesktopMode(nullptr);
}

DesktopMode QueryDesktopMode(const char* displayName)
{
    int screenNumber = 0;
    Connection c = Connect(displayName, &screenNumber);
    if (!c)
        return {};
    const xcb_setup_t* setup = xcb_get_setup(c.get());
    const xcb_screen_t* screen = setup ? ScreenAt(setup, screenNumber) : nullptr;
    if (!screen)
        return {};
    const auto bitsPerPixel = PixmapBitsPerPixel(setup, screen->root_depth);
    if (!bitsPerPixel)
        return {};

    const Size size = MonitorSize(c.get(), screen->root)
                          .value_or(Size{screen->width_in_pixels, screen->height_in_pixels});
    if (xcb_connection_has_error(c.get()))
        return {};
    return DesktopMode{true, size.width, size.height, *bitsPerPixel};
}

bool CanConnectToDisplay(const char* displayName)
{
    int screenNumber = 0;
    return Connect(displayName, &screenNumber) != nullptr;
}

} // namespace vexalo
