#pragma once

#include <glibmm/refptr.h>
#include <gtkmm/eventcontrollerscroll.h>
#include <gtkmm/scrolledwindow.h>
#include <sigc++/connection.h>

namespace quorelle {

// Lets a vertical mouse wheel move a row that scrolls only sideways: turning
// the wheel down moves the row towards its end. A notch moves as far as the
// toolkit's own scrolled views move per notch. Held by the owner of the
// scrolled window, which must outlive it.
class SidewaysWheel {
public:
    explicit SidewaysWheel(Gtk::ScrolledWindow& scroller);
    ~SidewaysWheel();
    SidewaysWheel(const SidewaysWheel&) = delete;
    SidewaysWheel& operator=(const SidewaysWheel&) = delete;

private:
    bool scroll(double dx, double dy);

    Gtk::ScrolledWindow& scroller_;
    Glib::RefPtr<Gtk::EventControllerScroll> wheel_;
    sigc::connection scrolled_;
};

}  // namespace quorelle
