#pragma once

#include <gtkmm/box.h>
#include <gtkmm/entry.h>
#include <gtkmm/widget.h>

namespace quorelle {

// The top row of the bookmark and shortcut editors: the icon preview, and
// beside it the title and address fields one above the other, taking the
// rest of the width.
struct IdentityRow {
    static void prepare(Gtk::Box& row, Gtk::Widget& preview, Gtk::Box& fields, Gtk::Entry& title, Gtk::Entry& url);
};

}  // namespace quorelle
