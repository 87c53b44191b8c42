#include "cards/ThemedSurface.h"

#include "state/AppState.h"
#include "window/ChromeColor.h"
#include "window/ViewRefresh.h"

#include <gtkmm/stylecontext.h>

namespace quorelle {

std::string ThemedSurface::toolbarBackground(const ThemeSettings& theme) {
    return "background-color: " + ChromeColor::css(ChromeColor::toolbar(theme)) + ";\n";
}

ThemedSurface::ThemedSurface(AppState& appState, Gtk::Widget& widget, Declarations declarations)
    : appState_(appState),
      widget_(widget),
      declarations_(std::move(declarations)),
      provider_(Gtk::CssProvider::create()),
      refresh_(std::make_unique<ViewRefresh>(appState.mainQueue(), [this] { apply(); })) {
    widget_.add_css_class(styleClass);
    widget_.get_style_context()->add_provider(provider_, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    connection_ = appState_.profileData.signalWillChange().connect([this] { refresh_->schedule(); });
    apply();
}

ThemedSurface::~ThemedSurface() {
    connection_.disconnect();
    widget_.get_style_context()->remove_provider(provider_);
}

void ThemedSurface::apply() {
    const ThemeSettings& theme = appState_.theme();
    if (applied_ && *applied_ == theme) return;
    applied_ = theme;
    css_ = std::string(".") + styleClass + " {\n" + declarations_(theme) + "}\n";
    provider_->load_from_data(css_);
}

}  // namespace quorelle
