#pragma once

#include <gtkmm/cssprovider.h>

#include <string>

namespace quorelle {

// Style sheets whose text never changes.
struct FixedStyle {
    FixedStyle() = delete;

    // A sheet holding `css`, for widgets to add to their own style.
    static Glib::RefPtr<Gtk::CssProvider> sheet(const std::string& css);
    // Puts `css` above the window's theme sheet for every widget on the
    // default display; once per display, however often it is asked. `css`
    // must live as long as the program.
    static void installForDisplay(const char* css);
};

}  // namespace quorelle
