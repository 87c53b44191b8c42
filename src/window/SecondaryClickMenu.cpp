#include "window/SecondaryClickMenu.h"

#include <gdk/gdk.h>

#include <utility>

namespace quorelle {

SecondaryClickMenu::SecondaryClickMenu(Gtk::Widget& owner, ModelSource model)
    : owner_(owner), model_(std::move(model)), click_(Gtk::GestureClick::create()) {
    click_->set_button(GDK_BUTTON_SECONDARY);
    // Opened when the button comes up: a menu opened at the press takes the
    // pointer before the release, and the toolkit then leaves the widget
    // (and everything around it) drawn as pressed.
    released_ = click_->signal_released().connect([this](int, double x, double y) {
        menu().set_pointing_to(Gdk::Rectangle(static_cast<int>(x), static_cast<int>(y), 1, 1));
        menu().popup();
    });
    owner_.add_controller(click_);
}

SecondaryClickMenu::~SecondaryClickMenu() {
    released_.disconnect();
    if (menu_) menu_->unparent();
}

Gtk::PopoverMenu& SecondaryClickMenu::menu() {
    if (!menu_) {
        menu_ = std::make_unique<Gtk::PopoverMenu>(model_());
        menu_->set_has_arrow(false);
        menu_->set_parent(owner_);
    }
    return *menu_;
}

}  // namespace quorelle
