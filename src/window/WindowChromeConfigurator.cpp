#include "window/WindowChromeConfigurator.h"

#include <giomm/simpleaction.h>

namespace quorelle {

WindowChromeConfigurator::WindowChromeConfigurator(Gtk::ApplicationWindow& window)
    : window_(window), headerBar_(Gtk::make_managed<Gtk::HeaderBar>()), emptyTitle_(Gtk::make_managed<Gtk::Box>()) {
    headerBar_->set_name("window-title-bar");
    // Kept alive even if something else takes the title bar's place.
    g_object_ref(headerBar_->gobj());
    window_.add_action(fullscreenAction, sigc::mem_fun(*this, &WindowChromeConfigurator::toggleFullscreen));
    applyChrome();
    watch();
}

WindowChromeConfigurator::~WindowChromeConfigurator() {
    for (auto& connection : watches_) connection.disconnect();
    window_.remove_action(fullscreenAction);
    g_object_unref(headerBar_->gobj());
}

void WindowChromeConfigurator::applyChrome() {
    if (applying_) return;
    applying_ = true;
    window_.set_decorated(true);
    window_.set_deletable(true);
    window_.set_resizable(true);
    if (window_.get_titlebar() != headerBar_) window_.set_titlebar(*headerBar_);
    if (headerBar_->get_title_widget() != emptyTitle_) headerBar_->set_title_widget(*emptyTitle_);
    headerBar_->set_show_title_buttons(true);
    if (headerBar_->get_decoration_layout() != decorationLayout) headerBar_->set_decoration_layout(decorationLayout);
    headerBar_->set_visible(true);
    applying_ = false;
}

void WindowChromeConfigurator::watch() {
    auto reapply = [this] { applyChrome(); };
    watches_.push_back(window_.property_decorated().signal_changed().connect(reapply));
    watches_.push_back(window_.property_deletable().signal_changed().connect(reapply));
    watches_.push_back(window_.property_resizable().signal_changed().connect(reapply));
    watches_.push_back(window_.property_titlebar().signal_changed().connect(reapply));
    watches_.push_back(window_.signal_map().connect(reapply));
    watches_.push_back(headerBar_->property_show_title_buttons().signal_changed().connect(reapply));
    watches_.push_back(headerBar_->property_decoration_layout().signal_changed().connect(reapply));
    watches_.push_back(headerBar_->property_visible().signal_changed().connect(reapply));
    watches_.push_back(headerBar_->property_title_widget().signal_changed().connect(reapply));
    watches_.push_back(window_.property_application().signal_changed().connect([this] {
        if (window_.get_application()) rebuildTitleButtons();
    }));
}

// A window that leaves its application (the toolkit takes it out when it is
// hidden) and joins again keeps title buttons that still believe the
// window's own close, maximise and minimise actions are gone: they stay
// greyed out and ignore clicks. Fresh buttons look the actions up again.
void WindowChromeConfigurator::rebuildTitleButtons() {
    applying_ = true;
    headerBar_->set_show_title_buttons(false);
    applying_ = false;
    headerBar_->set_show_title_buttons(true);
}

void WindowChromeConfigurator::toggleFullscreen() {
    if (window_.is_fullscreen())
        window_.unfullscreen();
    else
        window_.fullscreen();
}

}  // namespace quorelle
