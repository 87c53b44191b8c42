#include "cards/PromptCardShape.h"

#include "cards/CardFocus.h"
#include "window/ChromeStyle.h"
#include "window/FixedStyle.h"

#include <gtkmm/shortcut.h>
#include <gtkmm/shortcutaction.h>
#include <gtkmm/shortcutcontroller.h>
#include <gtkmm/shortcuttrigger.h>

namespace quorelle {
namespace {

// Shapes only; the card's colours come from the window's theme.
constexpr const char* promptStyle =
    ".vx-card.vx-login-prompt { padding: 24px; border-radius: 12px; box-shadow: none; }\n"
    ".vx-card.vx-login-prompt.vx-login-prompt-shadowed { box-shadow: 0 0 12px rgba(0,0,0,0.33); }\n";

}  // namespace

void PromptCardShape::shape(Gtk::Box& card, int width, bool shadowed) {
    // Above the window's theme sheet, which gives every card a ring and a shadow.
    FixedStyle::installForDisplay(promptStyle);
    card.set_orientation(Gtk::Orientation::VERTICAL);
    card.set_spacing(16);
    card.add_css_class(ChromeStyle::card);
    card.add_css_class(cardClass);
    if (shadowed) card.add_css_class(shadowedClass);
    card.set_size_request(width, -1);
    card.set_hexpand(true);
    card.set_vexpand(true);
    card.set_halign(Gtk::Align::CENTER);
    card.set_valign(Gtk::Align::CENTER);
}

void PromptCardShape::shapeButtonColumn(Gtk::Box& column) {
    column.set_orientation(Gtk::Orientation::VERTICAL);
    column.set_spacing(10);
    column.set_hexpand(true);
    column.add_css_class(buttonColumnClass);
}

void PromptCardShape::makeDefault(Gtk::Widget& card, Gtk::Button& button) {
    button.add_css_class("suggested-action");
    auto controller = Gtk::ShortcutController::create();
    controller->set_scope(Gtk::ShortcutScope::GLOBAL);
    auto action = Gtk::CallbackAction::create([&button](Gtk::Widget&, const Glib::VariantBase&) {
        if (!button.is_sensitive()) return false;
        g_signal_emit_by_name(button.gobj(), "clicked");
        return true;
    });
    for (const char* key : {"Return", "KP_Enter"})
        controller->add_shortcut(Gtk::Shortcut::create(Gtk::ShortcutTrigger::parse_string(key), action));
    card.add_controller(controller);
    CardFocus::startIn(card, button);
}

}  // namespace quorelle
