#include "cards/DimmedCard.h"

#include "state/AppState.h"
#include "window/ChromeColor.h"
#include "window/ChromeMetrics.h"

#include <gtkmm/stylecontext.h>

namespace quorelle {

DimmedCard::DimmedCard(AppState& appState, TwoWayBinding<bool> isPresented, Shape shape)
    : appState_(appState),
      isPresented_(std::move(isPresented)),
      shape_(std::move(shape)),
      content_(Gtk::Orientation::VERTICAL, ChromeMetrics::px(shape_.spacing)),
      dimStyle_(Gtk::CssProvider::create()),
      dimTap_(Gtk::GestureClick::create()) {
    set_hexpand(true);
    set_vexpand(true);

    dim_.set_name("dim-layer");
    dim_.set_hexpand(true);
    dim_.set_vexpand(true);
    dimStyle_->load_from_data("box { background-color: " + ChromeColor::css(Color{}, shape_.dimOpacity) + "; }");
    dim_.get_style_context()->add_provider(dimStyle_, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    dimTap_->signal_released().connect([this](int presses, double, double) {
        if (presses == 1) dismiss();
    });
    dim_.add_controller(dimTap_);
    set_child(dim_);

    card_.set_name("card");
    card_.set_orientation(Gtk::Orientation::VERTICAL);
    card_.set_size_request(ChromeMetrics::px(shape_.width), -1);
    card_.set_halign(Gtk::Align::CENTER);
    card_.set_valign(Gtk::Align::CENTER);
    card_.set_margin(ChromeMetrics::px(shape_.margin));
    card_.set_overflow(Gtk::Overflow::HIDDEN);
    content_.set_margin(ChromeMetrics::px(shape_.padding));
    content_.set_hexpand(true);
    card_.append(content_);
    add_overlay(card_);
    surface_ = std::make_unique<ThemedSurface>(appState_, card_, shape_.surface);
}

DimmedCard::~DimmedCard() { dim_.get_style_context()->remove_provider(dimStyle_); }

void DimmedCard::dismiss() { isPresented_.set(false); }

}  // namespace quorelle
