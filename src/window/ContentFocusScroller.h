#pragma once

#include <glibmm/extraclassinit.h>
#include <gtkmm/scrolledwindow.h>

namespace quorelle {

// A scrolled row that passes the keyboard focus on to what it holds, if
// anything there takes it, and never takes it itself, as a scrolled window
// would when nothing inside can: the tab strip and the bookmarks bar, whose
// buttons are clicked, never focused, are no stop for Tab or the arrow keys.
class ContentFocusScroller : public Glib::ExtraClassInit, public Gtk::ScrolledWindow {
public:
    ContentFocusScroller();
};

}  // namespace quorelle
