// SPDX-License-Identifier: MIT
// X11: the freedesktop startup-notification protocol. The id carries the X server time of
// the user's input, from which a window manager with focus-stealing prevention decides
// whether the new program's first window may take the focus.
#include "launch/activation_platform.h"

#include "core/xcb_reply.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <unistd.h>
#include <xcb/xcb.h>

namespace vexalo::platform {
namespace {

// The host-name part of the startup id, kept to characters no reader of the protocol
// quotes: Qt's own "remove:" message sends the id bare.
std::string HostPart()
{
    std::array<char, 256> host{};
    if (::gethostname(host.data(), host.size() - 1) != 0)
        return {};
    std::string part = host.data();
    for (char& c : part) {
        const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                           (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
        if (!plain)
            c = '_';
    }
    return part;
}

struct Root {
    xcb_window_t window = XCB_NONE;
    int screen = 0;
};

Root RootOf(xcb_connection_t* c, xcb_window_t window)
{
    XcbReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
    if (!tree)
        return {};
    int number = 0;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(c)); it.rem; xcb_screen_next(&it)) {
        if (it.data->root == tree->root)
            return {tree->root, number};
        ++number;
    }
    return {tree->root, 0};
}

// A value in the protocol's quoting: double quotes, with backslash before " and \.
std::string Quoted(std::string_view value)
{
    std::string quoted = "\"";
    for (const char c : value) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + '"';
}

// Sends `message` to the root window as the protocol wants it: 20-byte pieces, the first of
// type _NET_STARTUP_INFO_BEGIN, the rest _NET_STARTUP_INFO, ending with a NUL. Returns once
// the server has handled it, so it stands before anything the launched program does.
bool SendStartupMessage(xcb_connection_t* c, xcb_window_t from, xcb_window_t root,
                        const std::string& message)
{
    constexpr std::array<std::string_view, 2> names = {"_NET_STARTUP_INFO_BEGIN",
                                                       "_NET_STARTUP_INFO"};
    std::array<xcb_intern_atom_cookie_t, 2> cookies{};
    for (std::size_t i = 0; i < names.size(); ++i)
        cookies[i] = xcb_intern_atom(c, 0, static_cast<uint16_t>(names[i].size()), names[i].data());
    std::array<xcb_atom_t, 2> atoms{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(c, cookies[i], nullptr));
        if (!reply)
            return false;
        atoms[i] = reply->atom;
    }

    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 8;
    event.window = from;
    event.type = atoms[0];
    const std::size_t size = message.size() + 1; // with its NUL
    constexpr std::size_t piece = sizeof event.data.data8;
    for (std::size_t offset = 0; offset < size; offset += piece) {
        std::memset(event.data.data8, 0, piece);
        std::memcpy(event.data.data8, message.data() + offset,
                    std::min(piece, message.size() - std::min(offset, message.size())));
        xcb_send_event(c, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
        event.type = atoms[1];
    }
    XcbReply<xcb_get_input_focus_reply_t> sync(
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return sync != nullptr;
}

} // namespace

Activation BeginActivationX11(const ToolWindow& window, std::string_view program)
{
    xcb_connection_t* c = window.xcb;
    if (!c)
        return {};
    const Root root = RootOf(c, window.xWindow);
    if (root.window == XCB_NONE)
        return {};

    const std::string id = "vexalo-config-" + std::to_string(::getpid()) + '-' + HostPart() + '-' +
                           std::string(program) + "_TIME" + std::to_string(window.xTime);
    const std::string message = "new: ID=" + Quoted(id) + " NAME=" + Quoted(program) +
                                " SCREEN=" + std::to_string(root.screen) +
                                " BIN=" + Quoted(program);
    if (!SendStartupMessage(c, window.xWindow, root.window, message))
        return {};
    return {{"DESKTOP_STARTUP_ID=" + id}, id};
}

void WithdrawActivationX11(const ToolWindow& window, const Activation& activation)
{
    xcb_connection_t* c = window.xcb;
    if (!c || activation.startupId.empty())
        return;
    if (const Root root = RootOf(c, window.xWindow); root.window != XCB_NONE)
        SendStartupMessage(c, window.xWindow, root.window,
                           "remove: ID=" + Quoted(activation.startupId));
}

} // namespace vexalo::platform
