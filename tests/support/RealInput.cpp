#include "support/RealInput.h"

#include "support/MainLoopWait.h"

#include <gdk/x11/gdkx.h>
#include <gtk/gtk.h>
#include <gtkmm/adjustment.h>

// Xlib last: its macros clash with the C++ toolkit's headers.
#include <X11/Xlib.h>
#include <X11/XKBlib.h>
#include <X11/extensions/XTest.h>

#include "support/WindowManagerClose.h"

#include <cstdlib>
#include <functional>
#include <vector>

namespace quorelle::testing {
namespace {

using Keys = std::vector<unsigned>;

// The X window `widget` is drawn in, once it is mapped.
Window surfaceOf(Gtk::Widget& widget) {
    GtkNative* native = gtk_widget_get_native(widget.gobj());
    GdkSurface* surface = native ? gtk_native_get_surface(native) : nullptr;
    if (!surface || !gtk_widget_get_mapped(GTK_WIDGET(native))) return 0;
    return gdk_x11_surface_get_xid(surface);
}

// Runs `input` with the server held, after raising and focusing the window
// `widget` is in. False when that window is not viewable yet.
bool sendTo(Gtk::Widget& widget, const std::function<void(Display*, Window)>& input) {
    const Window window = surfaceOf(widget);
    if (!window) return false;
    GdkDisplay* gdkDisplay = gdk_display_get_default();
    Display* display = gdk_x11_display_get_xdisplay(gdkDisplay);
    gdk_x11_display_error_trap_push(gdkDisplay);
    XGrabServer(display);
    XRaiseWindow(display, window);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    const bool ready = gdk_x11_display_error_trap_pop(gdkDisplay) == 0;
    if (ready) input(display, window);
    XUngrabServer(display);
    XFlush(display);
    return ready;
}

// Moves the pointer to the point (`widgetX`, `widgetY`) of `widget`, which is
// drawn in `window`. False when the widget has no place in its window.
bool pointAt(Display* display, Window window, Gtk::Widget& widget, double widgetX, double widgetY) {
    GtkNative* native = gtk_widget_get_native(widget.gobj());
    double x = 0, y = 0, surfaceX = 0, surfaceY = 0;
    if (!gtk_widget_translate_coordinates(widget.gobj(), GTK_WIDGET(native), widgetX, widgetY, &x, &y))
        return false;
    gtk_native_get_surface_transform(native, &surfaceX, &surfaceY);
    int rootX = 0, rootY = 0;
    Window child = 0;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), int(x + surfaceX), int(y + surfaceY), &rootX,
                          &rootY, &child);
    XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
    return true;
}

void click(Display* display, unsigned button, int times) {
    for (int i = 0; i < times; ++i) {
        XTestFakeButtonEvent(display, button, True, CurrentTime);
        XTestFakeButtonEvent(display, button, False, CurrentTime);
    }
}

void key(Display* display, unsigned keyval, bool down) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keyval), down, CurrentTime);
}

void press(Display* display, unsigned keyval, const Keys& modifiers) {
    for (unsigned modifier : modifiers) key(display, modifier, true);
    key(display, keyval, true);
    key(display, keyval, false);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) key(display, *it, false);
}

bool pressIn(Gtk::Widget& widget, unsigned keyval, const Keys& modifiers) {
    return sendTo(widget, [&](Display* display, Window) { press(display, keyval, modifiers); });
}

}  // namespace

bool clickWidget(Gtk::Widget& widget, unsigned button) {
    return clickWidgetAt(widget, widget.get_width() / 2.0, widget.get_height() / 2.0, button);
}

bool clickWidgetAt(Gtk::Widget& widget, double x, double y, unsigned button) {
    bool placed = false;
    const bool sent = sendTo(widget, [&](Display* display, Window window) {
        if ((placed = pointAt(display, window, widget, x, y))) click(display, button, 1);
    });
    return sent && placed;
}

bool turnWheel(Gtk::Widget& widget, int notches) {
    bool placed = false;
    const bool sent = sendTo(widget, [&](Display* display, Window window) {
        // The wheel's buttons: 4 turns up, 5 down.
        if ((placed = pointAt(display, window, widget, widget.get_width() / 2.0, widget.get_height() / 2.0)))
            click(display, notches > 0 ? 5 : 4, std::abs(notches));
    });
    return sent && placed;
}

bool turnWheelSideways(Gtk::ScrolledWindow& row, int notches) {
    auto scroll = row.get_hadjustment();
    const double before = scroll->get_value();
    return runUntil([&] { return turnWheel(row, notches); }) &&
           runUntil([&] { return notches > 0 ? scroll->get_value() > before : scroll->get_value() < before; });
}

bool pressKey(Gtk::Widget& widget, unsigned keyval, std::initializer_list<unsigned> modifiers) {
    return pressIn(widget, keyval, Keys(modifiers));
}

bool pressAccelerator(Gtk::Widget& widget, const char* accelerator) {
    guint keyval = 0;
    GdkModifierType mask{};
    if (!gtk_accelerator_parse(accelerator, &keyval, &mask)) return false;
    Keys modifiers;
    if (mask & GDK_SHIFT_MASK) modifiers.push_back(GDK_KEY_Shift_L);
    if (mask & GDK_CONTROL_MASK) modifiers.push_back(GDK_KEY_Control_L);
    if (mask & GDK_ALT_MASK) modifiers.push_back(GDK_KEY_Alt_L);
    return pressIn(widget, keyval, modifiers);
}

bool typeText(Gtk::Widget& widget, std::string_view text) {
    return sendTo(widget, [&](Display* display, Window) {
        for (char c : text) {
            const unsigned keyval = gdk_unicode_to_keyval(static_cast<unsigned char>(c));
            // A character on its key's second level (':' or 'A') needs Shift.
            const KeyCode code = XKeysymToKeycode(display, keyval);
            const bool shifted = code && XkbKeycodeToKeysym(display, code, 0, 0) != keyval;
            press(display, keyval, shifted ? Keys{GDK_KEY_Shift_L} : Keys{});
        }
    });
}

bool closeAsWindowManager(Gtk::Widget& widget) { return sendTo(widget, &askToClose); }

}  // namespace quorelle::testing
