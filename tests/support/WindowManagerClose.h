#pragma once

// What a window manager sends a window when the user closes it (its title
// bar's close button, Alt+F4): a WM_DELETE_WINDOW message from the X server.
//
// Include it after the toolkit's headers: Xlib defines short macro names
// (None, Bool, Status) that clash with them.

#include <X11/Xlib.h>

namespace quorelle::testing {

inline void askToClose(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

}  // namespace quorelle::testing
