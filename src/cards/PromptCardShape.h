#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>

namespace quorelle {

// The shared look and keys of the small login prompt cards: a centred,
// fixed-width column on the translucent card material, and Return as the
// card's default action.
struct PromptCardShape {
    PromptCardShape() = delete;

    static constexpr const char* cardClass = "vx-login-prompt";
    static constexpr const char* shadowedClass = "vx-login-prompt-shadowed";
    static constexpr const char* buttonColumnClass = "vx-login-prompt-buttons";

    // Makes `card` a centred column `width` wide with 24 padding, with or
    // without the drop shadow.
    static void shape(Gtk::Box& card, int width, bool shadowed);
    // A full-width column of buttons, 10 apart.
    static void shapeButtonColumn(Gtk::Box& column);
    // Return and keypad Enter press `button` while the card is in its window,
    // and the keyboard focus starts on it when the card opens.
    static void makeDefault(Gtk::Widget& card, Gtk::Button& button);
};

}  // namespace quorelle
