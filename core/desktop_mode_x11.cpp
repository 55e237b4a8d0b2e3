// SPDX-License-Identifier: MIT
#include "core/desktop_mode_platform.h"
#include "core/xcb_reply.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include <xcb/randr.h>
#include <xcb/xcb.h>

namespace vexalo {
namespace {

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

struct LitOutput {
    xcb_randr_output_t id;
    std::string name;
    xcb_randr_mode_t mode;
    bool sideways; // turned by 90 or 270 degrees
    platform::Rect area;
};

// The outputs whose CRTC shows a mode, in the server's order. Whether the server has seen
// a monitor plugged in is not asked: it may not have polled since the output was lit, and a
// lit CRTC scans out either way.
std::vector<LitOutput> LitOutputs(xcb_connection_t* c,
                                  const xcb_randr_get_screen_resources_current_reply_t* resources)
{
    const xcb_timestamp_t timestamp = resources->config_timestamp;
    const xcb_randr_output_t* outputs = xcb_randr_get_screen_resources_current_outputs(resources);
    const int count = xcb_randr_get_screen_resources_current_outputs_length(resources);
    std::vector<xcb_randr_get_output_info_cookie_t> cookies;
    for (int i = 0; i < count; ++i)
        cookies.push_back(xcb_randr_get_output_info(c, outputs[i], timestamp));

    std::vector<LitOutput> lit;
    for (int i = 0; i < count; ++i) {
        XcbReply<xcb_randr_get_output_info_reply_t> info(
            xcb_randr_get_output_info_reply(c, cookies[i], nullptr));
        if (!info || info->crtc == XCB_NONE)
            continue;
        XcbReply<xcb_randr_get_crtc_info_reply_t> crtc(xcb_randr_get_crtc_info_reply(
            c, xcb_randr_get_crtc_info(c, info->crtc, timestamp), nullptr));
        if (!crtc || crtc->mode == XCB_NONE)
            continue;
        const auto* name =
            reinterpret_cast<const char*>(xcb_randr_get_output_info_name(info.get()));
        const auto nameLength =
            static_cast<std::size_t>(xcb_randr_get_output_info_name_length(info.get()));
        lit.push_back(LitOutput{
            outputs[i], std::string(name, nameLength), crtc->mode,
            (crtc->rotation & (XCB_RANDR_ROTATION_ROTATE_90 | XCB_RANDR_ROTATION_ROTATE_270)) != 0,
            platform::Rect{crtc->x, crtc->y, crtc->width, crtc->height}});
    }
    return lit;
}

// The size of `output`'s mode, rotation applied. Not its CRTC's extent: panning and scaling
// (xrandr --panning, --scale) change that, and the renderer wants the monitor's mode.
std::optional<Size> ModeSize(const LitOutput& output,
                             const xcb_randr_get_screen_resources_current_reply_t* resources)
{
    const xcb_randr_mode_info_t* modes = xcb_randr_get_screen_resources_current_modes(resources);
    const int count = xcb_randr_get_screen_resources_current_modes_length(resources);
    for (int i = 0; i < count; ++i) {
        if (modes[i].id != output.mode)
            continue;
        if (output.sideways)
            return Size{modes[i].height, modes[i].width};
        return Size{modes[i].width, modes[i].height};
    }
    return std::nullopt;
}

using Resources = XcbReply<xcb_randr_get_screen_resources_current_reply_t>;

// The screen's outputs and modes as the server last saw them. Needs RandR 1.3.
Resources ScreenResources(xcb_connection_t* c, xcb_window_t root)
{
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_randr_id);
    if (!ext || !ext->present)
        return nullptr;
    XcbReply<xcb_randr_query_version_reply_t> version(
        xcb_randr_query_version_reply(c, xcb_randr_query_version(c, 1, 3), nullptr));
    if (!version || version->major_version < 1 ||
        (version->major_version == 1 && version->minor_version < 3))
        return nullptr;
    return Resources(xcb_randr_get_screen_resources_current_reply(
        c, xcb_randr_get_screen_resources_current(c, root), nullptr));
}

// The mode of the output named `monitor`; else of the primary, else of the first lit one.
std::optional<Size> MonitorSize(xcb_connection_t* c, xcb_window_t root, const std::string& monitor)
{
    const Resources resources = ScreenResources(c, root);
    if (!resources)
        return std::nullopt;
    const std::vector<LitOutput> lit = LitOutputs(c, resources.get());
    if (lit.empty())
        return std::nullopt;

    XcbReply<xcb_randr_get_output_primary_reply_t> primary(
        xcb_randr_get_output_primary_reply(c, xcb_randr_get_output_primary(c, root), nullptr));
    const auto named = std::find_if(lit.begin(), lit.end(), [&](const LitOutput& o) {
        return !monitor.empty() && o.name == monitor;
    });
    const auto primaryOutput = std::find_if(lit.begin(), lit.end(), [&](const LitOutput& o) {
        return primary && o.id == primary->output;
    });
    const LitOutput& chosen = named != lit.end()           ? *named
                              : primaryOutput != lit.end() ? *primaryOutput
                                                           : lit.front();
    return ModeSize(chosen, resources.get());
}

// An empty name, like nullptr, means DISPLAY.
Connection Connect(const char* displayName, int* screenNumber)
{
    Connection c(xcb_connect(displayName && *displayName ? displayName : nullptr, screenNumber));
    if (c && xcb_connection_has_error(c.get()))
        c.reset();
    return c;
}

} // namespace

namespace platform {

DesktopMode QueryX11Mode(const char* displayName, const std::string& monitor)
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

    const Size size = MonitorSize(c.get(), screen->root, monitor)
                          .value_or(Size{screen->width_in_pixels, screen->height_in_pixels});
    if (xcb_connection_has_error(c.get()))
        return {};
    return DesktopMode{true, size.width, size.height, *bitsPerPixel};
}

std::vector<X11Monitor> QueryX11Monitors(const char* displayName)
{
    int screenNumber = 0;
    Connection c = Connect(displayName, &screenNumber);
    if (!c)
        return {};
    const xcb_screen_t* screen = ScreenAt(xcb_get_setup(c.get()), screenNumber);
    const Resources resources = screen ? ScreenResources(c.get(), screen->root) : nullptr;
    if (!resources)
        return {};
    std::vector<X11Monitor> monitors;
    for (const LitOutput& output : LitOutputs(c.get(), resources.get()))
        monitors.push_back(X11Monitor{output.name, output.area});
    return monitors;
}

} // namespace platform

} // namespace vexalo
