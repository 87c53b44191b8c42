#include "support/RealInput.h"

#include <gdk/x11/gdkx.h>
#include <gtk/gtk.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <functional>

namespace quorelle::testing {
namespace {

Display* xdisplay() { return gdk_x11_display_get_xdisplay(gdk_display_get_default()); }

// The X window `widget` is drawn in, once it is mapped.
Window surfaceOf(Gtk::Widget& widget) {
    GtkNative* native = gtk_widget_get_native(widget.gobj());
    GdkSurface* surface = native ? gtk_native_get_surface(native) : nullptr;
    if (!surface || !gtk_widget_get_mapped(GTK_WIDGET(native))) return 0;
    return gdk_x11_surface_get_xid(surface);
}

// Runs `input` with the server held, after raising and focusing `window`.
// False when the server refused (the window is not viewable yet).
bool sendTo(Window window, const std::function<void(Display*)>& input) {
    GdkDisplay* gdkDisplay = gdk_display_get_default();
    Display* display = xdisplay();
    gdk_x11_display_error_trap_push(gdkDisplay);
    XGrabServer(display);
    XRaiseWindow(display, window);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    const bool ready = gdk_x11_display_error_trap_pop(gdkDisplay) == 0;
    if (ready) input(display);
    XUngrabServer(display);
    XFlush(display);
    return ready;
}

void key(Display* display, unsigned keyval, bool down) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keyval), down, CurrentTime);
}

void press(Display* display, unsigned keyval, std::initializer_list<unsigned> modifiers) {
    for (unsigned modifier : modifiers) key(display, modifier, true);
    key(display, keyval, true);
    key(display, keyval, false);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) key(display, *it, false);
}

}  // namespace

bool clickWidget(Gtk::Widget& widget, unsigned button) {
    const Window window = surfaceOf(widget);
    GtkNative* native = gtk_widget_get_native(widget.gobj());
    double x = 0, y = 0, sx = 0, sy = 0;
    if (!window || !gtk_widget_translate_coordinates(widget.gobj(), GTK_WIDGET(native), widget.get_width() / 2.0,
                                                     widget.get_height() / 2.0, &x, &y))
        return false;
    gtk_native_get_surface_transform(native, &sx, &sy);
    return sendTo(window, [&](Display* display) {
        int rootX = 0, rootY = 0;
        Window child = 0;
        XTranslateCoordinates(display, window, DefaultRootWindow(display), int(x + sx), int(y + sy), &rootX, &rootY,
                              &child);
        XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
        XTestFakeButtonEvent(display, button, True, CurrentTime);
        XTestFakeButtonEvent(display, button, False, CurrentTime);
    });
}

bool pressKey(Gtk::Widget& widget, unsigned keyval, std::initializer_list<unsigned> modifiers) {
    const Window window = surfaceOf(widget);
    return window && sendTo(window, [&](Display* display) { press(display, keyval, modifiers); });
}

bool typeText(Gtk::Widget& widget, std::string_view text) {
    const Window window = surfaceOf(widget);
    return window && sendTo(window, [&](Display* display) {
               for (char c : text) press(display, gdk_unicode_to_keyval(static_cast<unsigned char>(c)), {});
           });
}

}  // namespace quorelle::testing
