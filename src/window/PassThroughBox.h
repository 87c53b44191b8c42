#pragma once

#include <glibmm/extraclassinit.h>
#include <gtkmm/box.h>

namespace quorelle {

// A box that is never the target of a click itself: a point over it that
// none of its children takes goes on to whatever lies beneath. For layers
// laid over the window whose content covers only part of them.
class PassThroughBox : public Glib::ExtraClassInit, public Gtk::Box {
public:
    explicit PassThroughBox(Gtk::Orientation orientation = Gtk::Orientation::HORIZONTAL);
};

}  // namespace quorelle
