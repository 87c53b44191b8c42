#pragma once

#include <gtkmm/box.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>

#include <string_view>

namespace quorelle {

// The scrolling column a sheet card is built in: a fixed width, centred,
// padded on every side and headed by its title.
struct SheetColumn {
    static void prepare(Gtk::ScrolledWindow& sheet, Gtk::Box& column, double width, double padding,
                        Gtk::Label& heading, std::string_view title);
};

}  // namespace quorelle
