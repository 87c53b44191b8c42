#pragma once

#include <gtkmm/widget.h>

namespace quorelle {

// Where the keyboard focus goes when a card opens: into the card, on the
// widget named, so that what the user types reaches the card and not the
// page or control beneath it.
struct CardFocus {
    CardFocus() = delete;

    // Gives `first` (a widget inside `card`) the keyboard focus each time
    // `card` comes on screen.
    static void startIn(Gtk::Widget& card, Gtk::Widget& first);
};

}  // namespace quorelle
