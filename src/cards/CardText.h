#pragma once

#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <sigc++/connection.h>

#include <string_view>

namespace quorelle {

// Text helpers for the cards: the type of headings (in the system font), and
// entry text set from the card's data.
struct CardText {
    CardText() = delete;

    // The platform's headline font: the body size, semibold.
    static void setHeadline(Gtk::Label& label);

    // Shows `text` in the field without running its change handler
    // (`changed`); a field already showing it is left alone, cursor and all.
    static void showText(Gtk::Entry& field, sigc::connection& changed, std::string_view text);
};

}  // namespace quorelle
