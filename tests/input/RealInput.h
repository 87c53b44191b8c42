#pragma once

// Keys and wheel turns sent through the X server's test extension, so they
// reach a window exactly as a keyboard's and a mouse's would: through the
// server's focus and pointer, the toolkit's event handling and every
// controller on the way.

#include <gtkmm/widget.h>
#include <gtkmm/window.h>

namespace quorelle::testing {

struct RealInput {
    // Gives `window` the keyboard focus and waits until the toolkit knows.
    static bool focus(Gtk::Window& window);
    // Presses the keys of an accelerator ("<Shift><Control>h") on the
    // display of `widget` and lets them go again, modifiers last.
    static void press(Gtk::Widget& widget, const char* accelerator);
    // Moves the pointer to the middle of `widget` and turns the wheel by
    // `notches`: positive turns down, negative up.
    static void turnWheel(Gtk::Widget& widget, int notches);
};

}  // namespace quorelle::testing
