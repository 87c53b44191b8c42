#include "window/BrowserView.h"

#include "model/BrowserTab.h"
#include "state/AppState.h"
#include "window/ChromeStyle.h"
#include "window/ViewRefresh.h"

#include <gtkmm/root.h>

namespace quorelle {

BrowserView::BrowserView(std::shared_ptr<AppState> appState, const WindowServices& services)
    : appState_(std::move(appState)),
      tabStrip_(appState_, services.faviconImages),
      toolbar_(appState_, services.commandBus),
      tabContent_(services.webViews, services.commandBus),
      suggestions_(appState_) {
    set_name("browser-view");
    buildColumn();
    set_child(column_);

    // The suggestions float above the rows and place themselves under the
    // toolbar; as an overlay child of their own, the space above them (its
    // margin) lets clicks through to the tab strip and toolbar.
    suggestions_.set_name("omnibox-suggestions");
    add_overlay(suggestions_);
    suggestions_.setFocused(omniboxFocused_);

    refresh_ = std::make_unique<ViewRefresh>(appState_->mainQueue(), [this] { refresh(); });
    auto schedule = [this] { refresh_->schedule(); };
    connections_.push_back(appState_->activeTabID.signalWillChange().connect(schedule));
    connections_.push_back(appState_->tabs.signalWillChange().connect(schedule));
    connections_.push_back(appState_->profileData.signalWillChange().connect(schedule));
    connections_.push_back(appState_->sidebarKind.signalWillChange().connect(schedule));
    connections_.push_back(toolbar_.omnibox().signalFocusChanged().connect(
        sigc::mem_fun(*this, &BrowserView::onOmniboxFocus)));
    // A tab the user opens is one to type an address into.
    connections_.push_back(tabStrip_.signalNewTabOpened().connect([this] { toolbar_.omnibox().focus(); }));
    // Each time the layout is shown the address text catches up with the tab.
    // A window shown without a focus yet starts with it in the omnibox, so
    // what the user types first is not lost; the toolbar's buttons never
    // take it.
    connections_.push_back(signal_map().connect([this] {
        appState_->syncOmniboxFromTab();
        if (auto* root = get_root(); root && !root->get_focus()) toolbar_.omnibox().focus();
    }));
    refresh();
}

BrowserView::~BrowserView() {
    for (auto& connection : connections_) connection.disconnect();
}

void BrowserView::buildColumn() {
    column_.set_spacing(0);
    column_.add_css_class(ChromeStyle::frame);
    column_.set_hexpand(true);
    column_.set_vexpand(true);

    tabStrip_.set_name("tab-strip");
    tabStrip_.set_vexpand(false);
    bookmarksBarSlot_.set_name("bookmarks-bar-slot");
    leftSidebarSlot_.set_name("sidebar-left-slot");
    rightSidebarSlot_.set_name("sidebar-right-slot");
    pageRow_.set_name("page-row");
    pageRow_.set_spacing(0);
    pageRow_.set_vexpand(true);
    pageRow_.set_valign(Gtk::Align::FILL);

    pageRow_.append(leftSidebarSlot_);
    pageRow_.append(tabContent_);
    pageRow_.append(rightSidebarSlot_);

    column_.append(tabStrip_);
    column_.append(toolbar_);
    column_.append(bookmarksBarSlot_);
    column_.append(pageRow_);
}

void BrowserView::refresh() {
    const auto& settings = appState_->settings();
    bookmarksBarSlot_.set_visible(settings.showBookmarksBar);
    const bool sidebarShown = !(appState_->sidebarKind.get() == SidebarKind::none);
    leftSidebarSlot_.set_visible(sidebarShown && settings.sidebarDock == SidebarDock::left);
    rightSidebarSlot_.set_visible(sidebarShown && settings.sidebarDock == SidebarDock::right);

    auto active = appState_->activeTab();
    if (!active)
        tabContent_.clear();
    else if (active != tabContent_.tab())
        tabContent_.showTab(active, *appState_);
}

void BrowserView::fillSlot(Gtk::Box& slot, Gtk::Widget& child) {
    while (auto* old = slot.get_first_child()) slot.remove(*old);
    slot.append(child);
}

void BrowserView::fillBookmarksBar(Gtk::Widget& bookmarksBar) { fillSlot(bookmarksBarSlot_, bookmarksBar); }

void BrowserView::fillSidebars(Gtk::Widget& left, Gtk::Widget& right) {
    fillSlot(leftSidebarSlot_, left);
    fillSlot(rightSidebarSlot_, right);
}

void BrowserView::onOmniboxFocus(bool focused) {
    if (omniboxFocused_ == focused) return;
    omniboxFocused_ = focused;
    suggestions_.setFocused(focused);
    omniboxFocusChanged_.emit(focused);
}

}  // namespace quorelle
