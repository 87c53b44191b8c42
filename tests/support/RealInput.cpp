#include "support/RealInput.h"

#include <gdk/x11/gdkx.h>
#include <gtk/gtk.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace quorelle::testing {
namespace {

Display* xdisplay() { return gdk_x11_display_get_xdisplay(gdk_display_get_default()); }

// The point (x, y) of `widget`'s own coordinates, on the screen.
bool screenPoint(Gtk::Widget& widget, double x, double y, int& rootX, int& rootY) {
    GtkNative* native = gtk_widget_get_native(widget.gobj());
    GdkSurface* surface = native ? gtk_native_get_surface(native) : nullptr;
    if (!surface) return false;
    double nx = 0, ny = 0;
    if (!gtk_widget_translate_coordinates(widget.gobj(), GTK_WIDGET(native), x, y, &nx, &ny)) return false;
    double sx = 0, sy = 0;
    gtk_native_get_surface_transform(native, &sx, &sy);
    Display* display = xdisplay();
    Window child = 0;
    return XTranslateCoordinates(display, gdk_x11_surface_get_xid(surface), DefaultRootWindow(display), int(nx + sx),
                                 int(ny + sy), &rootX, &rootY, &child);
}

void key(unsigned keyval, bool down) {
    Display* display = xdisplay();
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keyval), down, CurrentTime);
}

}  // namespace

bool clickWidget(Gtk::Widget& widget, unsigned button) {
    int x = 0, y = 0;
    if (!screenPoint(widget, widget.get_width() / 2.0, widget.get_height() / 2.0, x, y)) return false;
    Display* display = xdisplay();
    XTestFakeMotionEvent(display, -1, x, y, CurrentTime);
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    XFlush(display);
    return true;
}

void pressKey(unsigned keyval, std::initializer_list<unsigned> modifiers) {
    for (unsigned modifier : modifiers) key(modifier, true);
    key(keyval, true);
    key(keyval, false);
    for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it) key(*it, false);
    XFlush(xdisplay());
}

void typeText(std::string_view text) {
    for (char c : text) pressKey(gdk_unicode_to_keyval(static_cast<unsigned char>(c)));
}

}  // namespace quorelle::testing
