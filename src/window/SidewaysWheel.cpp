#include "window/SidewaysWheel.h"

#include <gtkmm/adjustment.h>

#include <algorithm>
#include <cmath>

namespace quorelle {

SidewaysWheel::SidewaysWheel(Gtk::ScrolledWindow& scroller)
    : scroller_(scroller), wheel_(Gtk::EventControllerScroll::create()) {
    // Ahead of the scrolled window's own handling, which would ignore a
    // vertical wheel on a row that only scrolls sideways.
    wheel_->set_flags(Gtk::EventControllerScroll::Flags::VERTICAL);
    wheel_->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    scrolled_ = wheel_->signal_scroll().connect(sigc::mem_fun(*this, &SidewaysWheel::scroll), true);
    scroller_.add_controller(wheel_);
}

SidewaysWheel::~SidewaysWheel() {
    scrolled_.disconnect();
    scroller_.remove_controller(wheel_);
}

bool SidewaysWheel::scroll(double, double dy) {
    if (dy == 0) return false;
    auto scroll = scroller_.get_hadjustment();
    const double page = scroll->get_page_size();
    // A notch moves as far as the toolkit's own scrolled views move per notch.
    const double step = wheel_->get_unit() == Gdk::ScrollUnit::WHEEL ? std::pow(page, 2.0 / 3.0) : 1.0;
    scroll->set_value(std::clamp(scroll->get_value() + dy * step, scroll->get_lower(), scroll->get_upper() - page));
    return true;
}

}  // namespace quorelle
