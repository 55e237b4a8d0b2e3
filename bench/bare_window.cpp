// SPDX-License-Identifier: MIT
// The floor for first paint: a bare xcb window of the tool's size and title that fills
// itself on the first Expose and closes on WM_DELETE_WINDOW. Nothing can start faster.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {

xcb_atom_t Atom(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return atom;
}

} // namespace

int main()
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return 1;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    const std::uint32_t values[] = {XCB_EVENT_MASK_EXPOSURE};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 417, 167, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK,
                      values);
    const char title[] = "Vexalo Configuration";
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        sizeof title - 1, title);
    const xcb_atom_t protocols = Atom(c, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = Atom(c, "WM_DELETE_WINDOW");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, protocols, XCB_ATOM_ATOM, 32, 1,
                        &deleteWindow);
    const xcb_gcontext_t gc = xcb_generate_id(c);
    const std::uint32_t colour[] = {0xd0d0d0};
    xcb_create_gc(c, gc, window, XCB_GC_FOREGROUND, colour);
    xcb_map_window(c, window);
    xcb_flush(c);

    while (xcb_generic_event_t* event = xcb_wait_for_event(c)) {
        const auto type = event->response_type & 0x7f;
        bool done = false;
        if (type == XCB_EXPOSE) {
            const xcb_rectangle_t all{0, 0, 417, 167};
            xcb_poly_fill_rectangle(c, window, gc, 1, &all);
            xcb_flush(c);
        } else if (type == XCB_CLIENT_MESSAGE) {
            done = reinterpret_cast<xcb_client_message_event_t*>(event)->data.data32[0] ==
                   deleteWindow;
        }
        std::free(event);
        if (done)
            break;
    }
    xcb_disconnect(c);
    return 0;
}
