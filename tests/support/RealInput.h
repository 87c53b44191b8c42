#pragma once

// Real input for widget tests: pointer clicks and key presses go through the
// X server (XTEST), so they reach the toolkit exactly as a user's would, with
// picking, grabs and focus all in play. Needs the X11 backend (scripts/test
// runs under Xvfb with GDK_BACKEND=x11).
//
// The test display runs no window manager and other test processes share
// it, so each call first raises the target's window and gives it the
// keyboard focus, with the server held so that no other client can come in
// between.

#include <gtkmm/widget.h>

#include <initializer_list>
#include <string_view>

namespace quorelle::testing {

// Moves the pointer to the middle of `widget` and clicks `button` there
// (1 left, 3 right). False when the widget is not on the screen.
bool clickWidget(Gtk::Widget& widget, unsigned button = 1);

// Presses the key `keyval` (GDK_KEY_Return, GDK_KEY_a, ...) with the
// `modifiers` keys (GDK_KEY_Control_L, ...) held, in the window `widget` is
// in. False when that window is not on the screen.
bool pressKey(Gtk::Widget& widget, unsigned keyval, std::initializer_list<unsigned> modifiers = {});

// Types `text` (lower-case ASCII letters, digits, '-' and spaces) key by key
// in the window `widget` is in.
bool typeText(Gtk::Widget& widget, std::string_view text);

}  // namespace quorelle::testing
