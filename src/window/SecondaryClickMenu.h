#pragma once

#include <giomm/menumodel.h>
#include <gtkmm/gestureclick.h>
#include <gtkmm/popovermenu.h>
#include <gtkmm/widget.h>
#include <sigc++/connection.h>

#include <functional>
#include <memory>

namespace quorelle {

// A widget's context menu: a secondary click on the widget opens it where
// the pointer is, once the button is let go. The menu is made, from the
// model `model` gives, the first time it is asked for. Held by the widget,
// which must outlive it.
class SecondaryClickMenu {
public:
    using ModelSource = std::function<Glib::RefPtr<Gio::MenuModel>()>;

    SecondaryClickMenu(Gtk::Widget& owner, ModelSource model);
    ~SecondaryClickMenu();
    SecondaryClickMenu(const SecondaryClickMenu&) = delete;
    SecondaryClickMenu& operator=(const SecondaryClickMenu&) = delete;

    Gtk::PopoverMenu& menu();
    Glib::RefPtr<Gtk::GestureClick> click() const { return click_; }

private:
    Gtk::Widget& owner_;
    ModelSource model_;
    std::unique_ptr<Gtk::PopoverMenu> menu_;
    Glib::RefPtr<Gtk::GestureClick> click_;
    sigc::connection released_;
};

}  // namespace quorelle
