#pragma once

// Real input for widget tests: pointer clicks, wheel turns and key presses
// go through the X server's test extension (XTEST), so they reach the
// toolkit exactly as a user's would, with picking, grabs, focus and every
// controller on the way in play. Needs the X11 backend (scripts/test runs
// every display suite under Xvfb with GDK_BACKEND=x11).
//
// A test may have more than one window open and no window manager runs, so
// each call first raises the target's window and gives it the keyboard
// focus, with the server held so that nothing can come in between. Each
// returns false, having sent nothing, while that window is not on the
// screen yet: wait for it with runUntil.

#include <gtkmm/scrolledwindow.h>
#include <gtkmm/widget.h>

#include <initializer_list>
#include <string_view>

namespace quorelle::testing {

// Moves the pointer to the middle of `widget` and clicks `button` there
// (1 left, 3 right).
bool clickWidget(Gtk::Widget& widget, unsigned button = 1);

// The same at the point (`x`, `y`) of `widget`, from its top left corner.
bool clickWidgetAt(Gtk::Widget& widget, double x, double y, unsigned button = 1);

// Moves the pointer to the middle of `widget` and turns the wheel by
// `notches`: positive turns down, negative up.
bool turnWheel(Gtk::Widget& widget, int notches);

// Turns the wheel by `notches` over a row that scrolls sideways and waits
// until the row has moved that way (down: towards its end); false when it
// does not.
bool turnWheelSideways(Gtk::ScrolledWindow& row, int notches);

// Presses the key `keyval` (GDK_KEY_Return, GDK_KEY_a, ...) with the
// `modifiers` keys (GDK_KEY_Control_L, ...) held, in the window `widget` is
// in, and lets them go again, modifiers last.
bool pressKey(Gtk::Widget& widget, unsigned keyval, std::initializer_list<unsigned> modifiers = {});

// The same for an accelerator as the toolkit writes it ("<Shift><Control>h",
// "Return").
bool pressAccelerator(Gtk::Widget& widget, const char* accelerator);

// Types `text` (printable ASCII, with Shift held where the keyboard needs
// it) key by key in the window `widget` is in.
bool typeText(Gtk::Widget& widget, std::string_view text);

// Asks the window `widget` is in to close, as a window manager does for its
// title bar's close button or Alt+F4: a WM_DELETE_WINDOW message from the X
// server.
bool closeAsWindowManager(Gtk::Widget& widget);

}  // namespace quorelle::testing
