#include "input/RealInput.h"

#include "support/MainLoopWait.h"

#include <gtkmm/native.h>

#include <gdk/x11/gdkx.h>
#include <gtk/gtk.h>
// Xlib last: its macros clash with the C++ toolkit's headers.
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <cstdlib>
#include <vector>

namespace quorelle::testing {
namespace {

Display* xdisplay(Gtk::Widget& widget) { return gdk_x11_display_get_xdisplay(widget.get_display()->gobj()); }

Window xwindow(Gtk::Widget& widget) { return gdk_x11_surface_get_xid(widget.get_native()->get_surface()->gobj()); }

}  // namespace

bool RealInput::focus(Gtk::Window& window) {
    if (!runUntil([&] { return window.get_mapped(); })) return false;
    Display* x = xdisplay(window);
    XSetInputFocus(x, xwindow(window), RevertToParent, CurrentTime);
    XFlush(x);
    return runUntil([&] { return window.is_active(); });
}

void RealInput::press(Gtk::Widget& widget, const char* accelerator) {
    guint keyval = 0;
    GdkModifierType modifiers{};
    gtk_accelerator_parse(accelerator, &keyval, &modifiers);
    std::vector<KeySym> keys;
    if (modifiers & GDK_SHIFT_MASK) keys.push_back(XK_Shift_L);
    if (modifiers & GDK_CONTROL_MASK) keys.push_back(XK_Control_L);
    if (modifiers & GDK_ALT_MASK) keys.push_back(XK_Alt_L);
    keys.push_back(keyval);  // an X keysym
    Display* x = xdisplay(widget);
    for (KeySym key : keys) XTestFakeKeyEvent(x, XKeysymToKeycode(x, key), True, CurrentTime);
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        XTestFakeKeyEvent(x, XKeysymToKeycode(x, *key), False, CurrentTime);
    XFlush(x);
}

void RealInput::turnWheel(Gtk::Widget& widget, int notches) {
    Display* x = xdisplay(widget);
    auto* native = widget.get_native();
    graphene_point_t middle{static_cast<float>(widget.get_width()) / 2, static_cast<float>(widget.get_height()) / 2};
    graphene_point_t inNative{};
    if (!gtk_widget_compute_point(widget.gobj(), GTK_WIDGET(native->gobj()), &middle, &inNative)) return;
    double surfaceX = 0, surfaceY = 0;
    native->get_surface_transform(surfaceX, surfaceY);
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(x, xwindow(widget), DefaultRootWindow(x), static_cast<int>(inNative.x + surfaceX),
                          static_cast<int>(inNative.y + surfaceY), &rootX, &rootY, &child);
    XTestFakeMotionEvent(x, -1, rootX, rootY, CurrentTime);
    const unsigned button = notches > 0 ? 5 : 4;  // the wheel's buttons
    for (int i = 0; i < std::abs(notches); ++i) {
        XTestFakeButtonEvent(x, button, True, CurrentTime);
        XTestFakeButtonEvent(x, button, False, CurrentTime);
    }
    XFlush(x);
}

}  // namespace quorelle::testing
