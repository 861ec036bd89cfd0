#include "platform/X11WindowClose.h"

#include <xcb/xcb.h>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace tamsel {

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};
template <class T>
using Reply = std::unique_ptr<T, FreeReply>;

struct Disconnect {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

// The property's 32-bit items (windows, atoms, numbers); empty when it is not set.
std::vector<std::uint32_t> Property(xcb_connection_t* connection, xcb_window_t window,
                                    xcb_atom_t property, xcb_atom_t type) {
    const Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, type, 0, 1 << 16), nullptr));
    if (!reply || reply->format != 32) {
        return {};
    }
    const auto* items = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {items, items + xcb_get_property_value_length(reply.get()) / 4};
}

// The top-level windows of a screen: the window manager's client list, or without a window
// manager the root's children that are not pop-ups.
std::vector<xcb_window_t> TopLevelWindows(xcb_connection_t* connection, xcb_window_t root,
                                          xcb_atom_t clientList) {
    auto windows = Property(connection, root, clientList, XCB_ATOM_WINDOW);
    if (!windows.empty()) {
        return windows;
    }
    const Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr));
    if (!tree) {
        return {};
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        const Reply<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, children[i]), nullptr));
        if (attributes && !attributes->override_redirect) {
            windows.push_back(children[i]);
        }
    }
    return windows;
}

bool Contains(const std::vector<std::uint32_t>& items, std::uint32_t item) {
    for (const auto candidate : items) {
        if (candidate == item) {
            return true;
        }
    }
    return false;
}

}  // namespace

int RequestWindowClose(int pid) {
    const std::unique_ptr<xcb_connection_t, Disconnect> connection(xcb_connect(nullptr, nullptr));
    if (xcb_connection_has_error(connection.get())) {
        return -1;
    }
    xcb_connection_t* c = connection.get();
    const xcb_atom_t wmPid = Atom(c, "_NET_WM_PID");
    const xcb_atom_t clientList = Atom(c, "_NET_CLIENT_LIST");
    const xcb_atom_t protocols = Atom(c, "WM_PROTOCOLS");
    const xcb_atom_t deleteWindow = Atom(c, "WM_DELETE_WINDOW");
    int asked = 0;
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(c)); screens.rem;
         xcb_screen_next(&screens)) {
        for (const xcb_window_t window : TopLevelWindows(c, screens.data->root, clientList)) {
            const auto owner = Property(c, window, wmPid, XCB_ATOM_CARDINAL);
            // Only the process's own windows, and of those only the ones no other window owns.
            if (owner.empty() || owner[0] != static_cast<std::uint32_t>(pid) ||
                !Property(c, window, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW).empty() ||
                !Contains(Property(c, window, protocols, XCB_ATOM_ATOM), deleteWindow)) {
                continue;
            }
            xcb_client_message_event_t message{};
            message.response_type = XCB_CLIENT_MESSAGE;
            message.format = 32;
            message.window = window;
            message.type = protocols;
            message.data.data32[0] = deleteWindow;
            message.data.data32[1] = XCB_CURRENT_TIME;
            xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&message));
            ++asked;
        }
    }
    // A round trip before hanging up: a server that sees the connection close may drop the
    // requests it has not yet handled.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return asked;
}

}  // namespace tamsel
