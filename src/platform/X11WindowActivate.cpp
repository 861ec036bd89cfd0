#include "platform/X11WindowActivate.h"

#include <xcb/xcb.h>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tamsel {

namespace {

struct Disconnect {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// The first 32-bit item of a window's property, or 0 when it is not set.
std::uint32_t FirstItem(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t property,
                        xcb_atom_t type) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, property, type, 0, 1), nullptr);
    std::uint32_t item = 0;
    if (reply != nullptr && reply->format == 32 && xcb_get_property_value_length(reply) >= 4) {
        std::memcpy(&item, xcb_get_property_value(reply), 4);
    }
    std::free(reply);
    return item;
}

}  // namespace

bool RequestWindowActivation(int pid) {
    const std::unique_ptr<xcb_connection_t, Disconnect> connection(xcb_connect(nullptr, nullptr));
    xcb_connection_t* c = connection.get();
    if (pid <= 0 || xcb_connection_has_error(c) != 0) {
        return false;
    }
    const xcb_atom_t wmPid = Atom(c, "_NET_WM_PID");
    const xcb_atom_t stacking = Atom(c, "_NET_CLIENT_LIST_STACKING");
    const xcb_atom_t activate = Atom(c, "_NET_ACTIVE_WINDOW");
    bool asked = false;
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(c)); screens.rem;
         xcb_screen_next(&screens)) {
        const xcb_window_t root = screens.data->root;
        xcb_get_property_reply_t* list = xcb_get_property_reply(
            c, xcb_get_property(c, 0, root, stacking, XCB_ATOM_WINDOW, 0, 1 << 16), nullptr);
        if (list == nullptr) {
            continue;
        }
        // Bottom to top: the last of the process's windows is the one the user saw last, the
        // dialog open over the main window when there is one.
        const auto* windows = static_cast<const xcb_window_t*>(xcb_get_property_value(list));
        const int count = list->format == 32 ? xcb_get_property_value_length(list) / 4 : 0;
        xcb_window_t topmost = XCB_WINDOW_NONE;
        for (int i = 0; i < count; ++i) {
            if (FirstItem(c, windows[i], wmPid, XCB_ATOM_CARDINAL) ==
                static_cast<std::uint32_t>(pid)) {
                topmost = windows[i];
            }
        }
        std::free(list);
        if (topmost == XCB_WINDOW_NONE) {
            continue;
        }
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = topmost;
        message.type = activate;
        message.data.data32[0] = 2;  // asked for by the user, through a pager or task bar
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(c, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
        asked = true;
    }
    // A round trip before hanging up, so the server has handled the request.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return asked;
}

}  // namespace tamsel
