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
#include <xcb/xinerama.h>

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
// lit CRTC scans out either way. Every output and every CRTC is asked at once: over a slow
// link each reply waited for one after the other costs a round trip.
std::vector<LitOutput> LitOutputs(xcb_connection_t* c,
                                  const xcb_randr_get_screen_resources_current_reply_t* resources)
{
    const xcb_timestamp_t timestamp = resources->config_timestamp;
    const xcb_randr_output_t* outputs = xcb_randr_get_screen_resources_current_outputs(resources);
    const int outputCount = xcb_randr_get_screen_resources_current_outputs_length(resources);
    const xcb_randr_crtc_t* crtcs = xcb_randr_get_screen_resources_current_crtcs(resources);
    const int crtcCount = xcb_randr_get_screen_resources_current_crtcs_length(resources);
    std::vector<xcb_randr_get_output_info_cookie_t> outputCookies;
    for (int i = 0; i < outputCount; ++i)
        outputCookies.push_back(xcb_randr_get_output_info(c, outputs[i], timestamp));
    std::vector<xcb_randr_get_crtc_info_cookie_t> crtcCookies;
    for (int i = 0; i < crtcCount; ++i)
        crtcCookies.push_back(xcb_randr_get_crtc_info(c, crtcs[i], timestamp));
    std::vector<XcbReply<xcb_randr_get_crtc_info_reply_t>> crtcInfo;
    for (int i = 0; i < crtcCount; ++i)
        crtcInfo.emplace_back(xcb_randr_get_crtc_info_reply(c, crtcCookies[i], nullptr));

    std::vector<LitOutput> lit;
    for (int i = 0; i < outputCount; ++i) {
        XcbReply<xcb_randr_get_output_info_reply_t> info(
            xcb_randr_get_output_info_reply(c, outputCookies[i], nullptr));
        const auto shown = std::find(crtcs, crtcs + crtcCount, info ? info->crtc : XCB_NONE);
        if (!info || info->crtc == XCB_NONE || shown == crtcs + crtcCount)
            continue;
        const auto& crtc = crtcInfo[static_cast<std::size_t>(shown - crtcs)];
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

// RandR's view of the screen as the server last saw it, asked in one batch: the version
// (1.3 is needed), the outputs and modes, and the primary output.
struct Randr {
    Resources resources;
    XcbReply<xcb_randr_get_output_primary_reply_t> primary;
    std::vector<LitOutput> lit;
};

std::optional<Randr> QueryRandr(xcb_connection_t* c, xcb_window_t root)
{
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_randr_id);
    if (!ext || !ext->present)
        return std::nullopt;
    const auto versionCookie = xcb_randr_query_version(c, 1, 3);
    const auto resourcesCookie = xcb_randr_get_screen_resources_current(c, root);
    const auto primaryCookie = xcb_randr_get_output_primary(c, root);
    XcbReply<xcb_randr_query_version_reply_t> version(
        xcb_randr_query_version_reply(c, versionCookie, nullptr));
    Randr randr{
        Resources(xcb_randr_get_screen_resources_current_reply(c, resourcesCookie, nullptr)),
        XcbReply<xcb_randr_get_output_primary_reply_t>(
            xcb_randr_get_output_primary_reply(c, primaryCookie, nullptr)),
        {}};
    if (!version || version->major_version < 1 ||
        (version->major_version == 1 && version->minor_version < 3) || !randr.resources)
        return std::nullopt;
    randr.lit = LitOutputs(c, randr.resources.get());
    return randr;
}

// The mode of the output named `monitor`; else of the primary, else of the first lit one.
std::optional<Size> MonitorSize(const Randr& randr, const std::string& monitor)
{
    const std::vector<LitOutput>& lit = randr.lit;
    if (lit.empty())
        return std::nullopt;
    const auto named = std::find_if(lit.begin(), lit.end(), [&](const LitOutput& o) {
        return !monitor.empty() && o.name == monitor;
    });
    const auto primaryOutput = std::find_if(lit.begin(), lit.end(), [&](const LitOutput& o) {
        return randr.primary && o.id == randr.primary->output;
    });
    const LitOutput& chosen = named != lit.end()           ? *named
                              : primaryOutput != lit.end() ? *primaryOutput
                                                           : lit.front();
    return ModeSize(chosen, randr.resources.get());
}

// Without RandR's outputs (an X server without the extension, a Xephyr of several screens),
// Xinerama's heads, which cover the X screen side by side: the head that holds `centre`,
// else the first. Never the X screen's size, which is every head's together.
std::optional<Size> XineramaHeadSize(xcb_connection_t* c, const std::optional<Point>& centre)
{
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_xinerama_id);
    if (!ext || !ext->present)
        return std::nullopt;
    XcbReply<xcb_xinerama_is_active_reply_t> active(
        xcb_xinerama_is_active_reply(c, xcb_xinerama_is_active(c), nullptr));
    XcbReply<xcb_xinerama_query_screens_reply_t> screens(
        xcb_xinerama_query_screens_reply(c, xcb_xinerama_query_screens(c), nullptr));
    if (!active || !active->state || !screens)
        return std::nullopt;
    const xcb_xinerama_screen_info_t* heads = xcb_xinerama_query_screens_screen_info(screens.get());
    const int count = xcb_xinerama_query_screens_screen_info_length(screens.get());
    if (count <= 0)
        return std::nullopt;
    const xcb_xinerama_screen_info_t* chosen = heads;
    for (int i = 0; centre && i < count; ++i) {
        if (centre->x >= heads[i].x_org && centre->x < heads[i].x_org + heads[i].width &&
            centre->y >= heads[i].y_org && centre->y < heads[i].y_org + heads[i].height) {
            chosen = &heads[i];
            break;
        }
    }
    return Size{chosen->width, chosen->height};
}

// An empty name, like nullptr, means DISPLAY.
Connection Connect(const char* displayName, int* screenNumber)
{
    Connection c(xcb_connect(displayName && *displayName ? displayName : nullptr, screenNumber));
    if (c && xcb_connection_has_error(c.get()))
        c.reset();
    // Both extensions asked for in one round trip; the answer is waited for when needed.
    if (c) {
        xcb_prefetch_extension_data(c.get(), &xcb_randr_id);
        xcb_prefetch_extension_data(c.get(), &xcb_xinerama_id);
    }
    return c;
}

} // namespace

namespace platform {

X11Desktop QueryX11Desktop(const char* displayName, const std::string& monitor,
                           const std::optional<Point>& windowCentre)
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

    X11Desktop desktop;
    const std::optional<Randr> randr = QueryRandr(c.get(), screen->root);
    std::optional<Size> size;
    if (randr) {
        size = MonitorSize(*randr, monitor);
        for (const LitOutput& output : randr->lit)
            desktop.monitors.push_back(X11Monitor{output.name, output.area});
    }
    if (!size)
        size = XineramaHeadSize(c.get(), windowCentre);
    if (!size)
        size = Size{screen->width_in_pixels, screen->height_in_pixels};
    if (xcb_connection_has_error(c.get()))
        return {};
    desktop.mode = DesktopMode{true, size->width, size->height, *bitsPerPixel};
    return desktop;
}

} // namespace platform

} // namespace vexalo
