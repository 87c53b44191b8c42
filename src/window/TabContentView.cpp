#include "window/TabContentView.h"

#include "model/BrowserTab.h"
#include "state/AppState.h"
#include "window/ChromeStyle.h"
#include "window/ViewRefresh.h"

#include <algorithm>

namespace quorelle {

TabContentView::TabContentView(TabWebViewStore& webViews, CommandBus& commandBus)
    : webTabView_(webViews, commandBus) {
    set_name("tab-content");
    set_hexpand(true);
    set_vexpand(true);
    append(webTabView_);

    progress_.set_name("page-load-progress");
    progress_.add_css_class(ChromeStyle::loadProgress);
    progress_.set_valign(Gtk::Align::START);
    progress_.set_halign(Gtk::Align::FILL);
    progress_.set_hexpand(true);
    progress_.set_can_target(false);
    progress_.set_visible(false);
    webTabView_.add_overlay(progress_);
}

TabContentView::~TabContentView() { unwatch(); }

void TabContentView::showTab(const std::shared_ptr<BrowserTab>& tab, AppState& state) {
    if (webTabView_.tab() != tab) watch(tab, state);
    webTabView_.showTab(tab, state);
    refreshProgress();
}

void TabContentView::clear() {
    unwatch();
    webTabView_.clearTab();
    refreshProgress();
}

void TabContentView::refreshProgress() {
    const auto& tab = webTabView_.tab();
    const bool loading = tab && tab->isLoading.get();
    progress_.set_visible(loading);
    if (loading) progress_.set_fraction(std::clamp(tab->loadProgress.get(), 0.0, 1.0));
}

void TabContentView::watch(const std::shared_ptr<BrowserTab>& tab, AppState& state) {
    unwatch();
    refresh_ = std::make_unique<ViewRefresh>(state.mainQueue(), [this] { refreshProgress(); });
    auto schedule = [this] { refresh_->schedule(); };
    tabConnections_.push_back(tab->isLoading.signalWillChange().connect(schedule));
    tabConnections_.push_back(tab->loadProgress.signalWillChange().connect(schedule));
}

void TabContentView::unwatch() {
    for (auto& connection : tabConnections_) connection.disconnect();
    tabConnections_.clear();
    refresh_.reset();
}

}  // namespace quorelle
