// SPDX-License-Identifier: MIT
// Watches an X display's root window as a desktop's launch feedback does, and prints, one a
// line, in the order the server delivered them: "ready" once watching, "message TEXT" for
// each whole startup-notification message, and "property NAME TIME VALUE" for each change of
// a root property whose name starts with _VEXALO_TEST.
#include "core/xcb_reply.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <xcb/xcb.h>

namespace {

using vexalo::XcbReply;

xcb_atom_t Atom(xcb_connection_t* c, const std::string& name)
{
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr));
    return reply ? reply->atom : XCB_NONE;
}

std::string AtomName(xcb_connection_t* c, xcb_atom_t atom)
{
    XcbReply<xcb_get_atom_name_reply_t> reply(
        xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr));
    return reply ? std::string(xcb_get_atom_name_name(reply.get()),
                               static_cast<std::size_t>(xcb_get_atom_name_name_length(reply.get())))
                 : std::string();
}

std::string PropertyText(xcb_connection_t* c, xcb_window_t window, xcb_atom_t atom)
{
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, atom, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr));
    return reply ? std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                               static_cast<std::size_t>(xcb_get_property_value_length(reply.get())))
                 : std::string();
}

} // namespace

int main()
{
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(c))
        return 1;
    auto it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&it);
    const xcb_window_t root = it.data->root;
    const xcb_atom_t begin = Atom(c, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t info = Atom(c, "_NET_STARTUP_INFO");
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_request_check(c, xcb_change_window_attributes_checked(c, root, XCB_CW_EVENT_MASK, &mask));
    std::printf("ready\n");
    std::fflush(stdout);

    std::map<xcb_window_t, std::string> pieces; // messages in progress, by sender
    while (xcb_generic_event_t* raw = xcb_wait_for_event(c)) {
        XcbReply<xcb_generic_event_t> event(raw);
        switch (event->response_type & 0x7f) {
        case XCB_CLIENT_MESSAGE: {
            auto* message = reinterpret_cast<xcb_client_message_event_t*>(raw);
            if (message->format != 8 || (message->type != begin && message->type != info))
                break;
            std::string& text = pieces[message->window];
            if (message->type == begin)
                text.clear();
            for (const uint8_t byte : message->data.data8) {
                if (byte == 0) {
                    std::printf("message %s\n", text.c_str());
                    pieces.erase(message->window);
                    break;
                }
                text += static_cast<char>(byte);
            }
            break;
        }
        case XCB_PROPERTY_NOTIFY: {
            auto* change = reinterpret_cast<xcb_property_notify_event_t*>(raw);
            const std::string name = AtomName(c, change->atom);
            if (name.rfind("_VEXALO_TEST", 0) == 0)
                std::printf("property %s %u %s\n", name.c_str(), change->time,
                            PropertyText(c, root, change->atom).c_str());
            break;
        }
        }
        std::fflush(stdout);
    }
    return 0;
}
