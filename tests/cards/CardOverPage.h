#pragma once

// A text field holding the keyboard focus where the page would be, and a
// card laid over it in a slot of its own, as the browser lays its cards over
// the page: what the user types after the card opened shows where the focus
// went.

#include "window/WindowTestSupport.h"

#include <gtkmm/box.h>
#include <gtkmm/entry.h>
#include <gtkmm/overlay.h>

namespace quorelle::testing {

class CardOverPage {
public:
    CardOverPage() {
        page_.set_name("page");
        layer_.set_child(page_);
        layer_.add_overlay(slot_);
    }

    // What goes into the window.
    Gtk::Widget& layer() { return layer_; }
    Gtk::Entry& page() { return page_; }

    // Gives the page the focus, then lays `card` over it and waits until
    // the card is on screen.
    void lay(Gtk::Widget& card) {
        runUntil([&] { return page_.get_mapped(); });
        page_.grab_focus();
        card_ = &card;
        slot_.append(card);
        runUntil([&] { return card.get_mapped() && card.get_width() > 0; });
        spinToolkit();
    }

    // Takes the card down and empties `window`, before either goes.
    void takeDown(Gtk::Window* window) {
        if (card_) slot_.remove(*card_);
        card_ = nullptr;
        if (window) window->unset_child();
    }

    // Whether the window's keyboard focus is on `widget` or inside it (a
    // text field hands it to its inner text).
    static bool holdsFocus(Gtk::Widget& widget) {
        auto* root = widget.get_root();
        auto* focus = root ? root->get_focus() : nullptr;
        return focus && (focus == &widget || focus->is_ancestor(widget));
    }

private:
    Gtk::Overlay layer_;
    Gtk::Entry page_;
    Gtk::Box slot_;
    Gtk::Widget* card_ = nullptr;
};

}  // namespace quorelle::testing
