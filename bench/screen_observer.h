// SPDX-License-Identifier: MIT
#pragma once

// The benchmark's eyes and hands on the X server: sees a window appear and get its first
// pixels (DAMAGE), clicks into it (XTEST) and closes it as a window manager does.

#include "bench/child_process.h"
#include "core/xcb_reply.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <poll.h>

#include <xcb/damage.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace bench {

inline constexpr char kTitle[] = "Vexalo Configuration";

struct Appearance {
    xcb_window_t window = XCB_NONE;
    double viewable = -1; // ms after the start
    double painted = -1;
};

// The X side: finds the candidate's window as it appears, sees its first damage, clicks
// into it and asks it to close, as a window manager or a user would.
class Screen {
public:
    Screen()
    {
        int screenNumber = 0;
        c_ = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(c_))
            Die("cannot connect to the X display");
        auto it = xcb_setup_roots_iterator(xcb_get_setup(c_));
        for (; screenNumber > 0; --screenNumber)
            xcb_screen_next(&it);
        root_ = it.data->root;
        const xcb_query_extension_reply_t* damage = xcb_get_extension_data(c_, &xcb_damage_id);
        if (!damage || !damage->present)
            Die("the X server has no DAMAGE extension");
        damageEvent_ = damage->first_event + XCB_DAMAGE_NOTIFY;
        vexalo::XcbReply<xcb_damage_query_version_reply_t> version(
            xcb_damage_query_version_reply(c_, xcb_damage_query_version(c_, 1, 1), nullptr));
        if (!version)
            Die("DAMAGE did not answer");
        wmName_ = Atom("_NET_WM_NAME");
        protocols_ = Atom("WM_PROTOCOLS");
        deleteWindow_ = Atom("WM_DELETE_WINDOW");
        const std::uint32_t mask[] = {XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY};
        xcb_change_window_attributes(c_, root_, XCB_CW_EVENT_MASK, mask);
        xcb_flush(c_);
    }
    ~Screen() { xcb_disconnect(c_); }

    // Waits for a top-level titled kTitle to become viewable and be painted.
    std::optional<Appearance> WaitForWindow(double start)
    {
        std::map<xcb_window_t, Tracked> windows;
        Appearance found;
        const double deadline = NowMs() + kTimeoutMs;
        while ((found.viewable < 0 || found.painted < 0) && NowMs() < deadline) {
            while (const vexalo::XcbReply<xcb_generic_event_t> event{NextEvent()})
                Handle(event.get(), windows, found);
            if (found.window != XCB_NONE && found.viewable < 0 && IsViewable(found.window))
                found.viewable = NowMs() - start;
            if (found.window != XCB_NONE && found.painted < 0 &&
                windows[found.window].firstDamage >= 0 && found.viewable >= 0)
                found.painted = std::max(windows[found.window].firstDamage - start, found.viewable);
        }
        for (auto& [window, tracked] : windows)
            if (tracked.damage)
                xcb_damage_destroy(c_, tracked.damage);
        xcb_flush(c_);
        if (found.viewable < 0 || found.painted < 0)
            return std::nullopt;
        return found;
    }

    // Clicks with the first button at (x, y) of the window's client area.
    void Click(xcb_window_t window, int x, int y)
    {
        vexalo::XcbReply<xcb_translate_coordinates_reply_t> at(xcb_translate_coordinates_reply(
            c_,
            xcb_translate_coordinates(c_, window, root_, static_cast<std::int16_t>(x),
                                      static_cast<std::int16_t>(y)),
            nullptr));
        if (!at)
            Die("the window vanished");
        xcb_test_fake_input(c_, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root_, at->dst_x, at->dst_y,
                            0);
        xcb_test_fake_input(c_, XCB_BUTTON_PRESS, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_test_fake_input(c_, XCB_BUTTON_RELEASE, 1, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_aux_sync();
    }

    // Asks the window to close, as the window manager's close control does.
    void Close(xcb_window_t window)
    {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = protocols_;
        message.data.data32[0] = deleteWindow_;
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c_, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(c_);
    }

private:
    struct Tracked {
        xcb_damage_damage_t damage = 0;
        double firstDamage = -1;
    };

    void xcb_aux_sync()
    {
        vexalo::XcbReply<xcb_get_input_focus_reply_t>(
            xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr));
    }

    xcb_atom_t Atom(const char* name)
    {
        vexalo::XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
            c_, xcb_intern_atom(c_, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr));
        return reply ? reply->atom : XCB_NONE;
    }

    xcb_generic_event_t* NextEvent()
    {
        if (xcb_generic_event_t* event = xcb_poll_for_event(c_))
            return event;
        pollfd p{xcb_get_file_descriptor(c_), POLLIN, 0};
        poll(&p, 1, 1);
        return xcb_poll_for_event(c_);
    }

    bool HasTitle(xcb_window_t window)
    {
        for (xcb_atom_t property : {static_cast<xcb_atom_t>(XCB_ATOM_WM_NAME), wmName_}) {
            vexalo::XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
                c_, xcb_get_property(c_, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 64),
                nullptr));
            if (reply && xcb_get_property_value_length(reply.get()) == int(sizeof kTitle - 1) &&
                std::memcmp(xcb_get_property_value(reply.get()), kTitle, sizeof kTitle - 1) == 0)
                return true;
        }
        return false;
    }

    bool IsViewable(xcb_window_t window)
    {
        vexalo::XcbReply<xcb_get_window_attributes_reply_t> reply(
            xcb_get_window_attributes_reply(c_, xcb_get_window_attributes(c_, window), nullptr));
        return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    }

    void Track(xcb_window_t window, std::map<xcb_window_t, Tracked>& windows, Appearance& found)
    {
        const std::uint32_t mask[] = {XCB_EVENT_MASK_PROPERTY_CHANGE};
        xcb_change_window_attributes(c_, window, XCB_CW_EVENT_MASK, mask);
        Tracked& tracked = windows[window];
        tracked.damage = xcb_generate_id(c_);
        xcb_damage_create(c_, tracked.damage, window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        if (found.window == XCB_NONE && HasTitle(window))
            found.window = window;
    }

    void Handle(xcb_generic_event_t* event, std::map<xcb_window_t, Tracked>& windows,
                Appearance& found)
    {
        const std::uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto* e = reinterpret_cast<xcb_create_notify_event_t*>(event);
            if (e->parent == root_)
                Track(e->window, windows, found);
        } else if (type == XCB_PROPERTY_NOTIFY) {
            const auto* e = reinterpret_cast<xcb_property_notify_event_t*>(event);
            if (found.window == XCB_NONE && (e->atom == XCB_ATOM_WM_NAME || e->atom == wmName_) &&
                windows.count(e->window) && HasTitle(e->window))
                found.window = e->window;
        } else if (type == damageEvent_) {
            const auto* e = reinterpret_cast<xcb_damage_notify_event_t*>(event);
            auto it = windows.find(e->drawable);
            if (it != windows.end() && it->second.firstDamage < 0)
                it->second.firstDamage = NowMs();
        }
    }

    xcb_connection_t* c_ = nullptr;
    xcb_window_t root_ = XCB_NONE;
    std::uint8_t damageEvent_ = 0;
    xcb_atom_t wmName_ = XCB_NONE;
    xcb_atom_t protocols_ = XCB_NONE;
    xcb_atom_t deleteWindow_ = XCB_NONE;
};

} // namespace bench
