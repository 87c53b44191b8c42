#include "cards/ThemedPanelStyle.h"

#include "state/AppState.h"
#include "window/ViewRefresh.h"

#include <gtkmm/stylecontext.h>

#include <utility>

namespace quorelle {

ThemedPanelStyle::ThemedPanelStyle(AppState& appState, SheetBuilder builder)
    : appState_(appState),
      builder_(std::move(builder)),
      provider_(Gtk::CssProvider::create()),
      refresh_(std::make_unique<ViewRefresh>(appState.mainQueue(), [this] { apply(); })) {
    themeConnection_ = appState_.profileData.signalWillChange().connect([this] { refresh_->schedule(); });
    apply();
}

ThemedPanelStyle::~ThemedPanelStyle() { themeConnection_.disconnect(); }

void ThemedPanelStyle::attach(Gtk::Widget& widget, const char* cssClass) {
    widget.add_css_class(cssClass);
    // Above the window's theme sheet, so the panel's own shapes win.
    widget.get_style_context()->add_provider(provider_, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 2);
}

void ThemedPanelStyle::apply() {
    std::string css = builder_(appState_.theme());
    if (css == css_) return;
    css_ = std::move(css);
    provider_->load_from_data(css_);
}

}  // namespace quorelle
