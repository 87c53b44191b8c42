#include "cards/CardFocus.h"

namespace quorelle {

void CardFocus::startIn(Gtk::Widget& card, Gtk::Widget& first) {
    // Both belong to the card, which owns the signal: the handler goes with them.
    card.signal_map().connect([&first] { first.grab_focus(); });
}

}  // namespace quorelle
