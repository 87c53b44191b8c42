#include "window/BrowserView.h"

#include "model/BrowserTab.h"
#include "state/AppState.h"
#include "window/ChromeStyle.h"
#include "window/ViewRefresh.h"

#include <gtkmm/root.h>

#include <algorithm>

namespace quorelle {
namespace {

bool showsNewTab(const BrowserTab* tab) {
    const auto& route = tab ? tab->internalRoute.get() : std::nullopt;
    return route && *route == InternalPageRoute::newtab;
}

}  // namespace

BrowserView::BrowserView(std::shared_ptr<AppState> appState, const WindowServices& services)
    : appState_(std::move(appState)),
      tabStrip_(appState_, services.faviconImages),
      toolbar_(appState_, services.commandBus),
      tabContent_(services.webViews, services.commandBus),
      suggestions_(appState_),
      focusReturn_(appState_->mainQueue(), [this] { focusActiveTab(); }) {
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
    connections_.push_back(appState_->activeTabID.signalWillChange().connect([this] {
        rememberShownTabFocus();
        refresh_->schedule();
    }));
    connections_.push_back(appState_->tabs.signalWillChange().connect(schedule));
    connections_.push_back(appState_->profileData.signalWillChange().connect(schedule));
    connections_.push_back(appState_->sidebarKind.signalWillChange().connect(schedule));
    connections_.push_back(toolbar_.omnibox().signalFocusChanged().connect(
        sigc::mem_fun(*this, &BrowserView::onOmniboxFocus)));
    // Return leaves the field for the page it opened.
    connections_.push_back(
        toolbar_.omnibox().signalSubmitted().connect([this](const std::string&) { focusActiveTab(); }));
    // A tab the user opens is one to type an address into.
    connections_.push_back(tabStrip_.signalNewTabOpened().connect([this] { toolbar_.omnibox().focus(); }));
    // Each time the layout is shown the address text catches up with the tab.
    // A window shown without a focus yet starts with it in the omnibox, so
    // what the user types first is not lost; the toolbar's buttons never
    // take it.
    connections_.push_back(signal_map().connect([this] {
        appState_->syncOmniboxFromTab();
        auto* window = dynamic_cast<Gtk::Window*>(get_root());
        if (window && !window->get_focus()) toolbar_.omnibox().focus();
        if (window) focusReturn_.watch(*window);
    }));
    refresh();
}

BrowserView::~BrowserView() {
    for (auto& connection : connections_) connection.disconnect();
    activeRoute_.disconnect();
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
    showPanel(leftSidebarSlot_, sidebarShown && settings.sidebarDock == SidebarDock::left);
    showPanel(rightSidebarSlot_, sidebarShown && settings.sidebarDock == SidebarDock::right);

    auto active = appState_->activeTab();
    if (!active) {
        activeRoute_.disconnect();
        tabContent_.clear();
    } else if (active != tabContent_.tab()) {
        showTab(active);
    } else {
        moveKeysIfTurned();
    }
    activeShowedNewTab_ = showsNewTab(active.get());
}

// A sidebar is a panel that opens and closes over the page row: as it goes,
// a focus inside it goes back to where it was before it opened.
void BrowserView::showPanel(Gtk::Box& slot, bool shown) {
    if (shown == slot.get_visible()) return;
    if (shown)
        focusReturn_.opened(slot);
    else
        focusReturn_.closing(slot);
    slot.set_visible(shown);
}

void BrowserView::showTab(const std::shared_ptr<BrowserTab>& tab) {
    // Only a switch moves the focus, and only within the layout: a card
    // over it keeps the focus it has.
    const bool moveFocus = get_mapped() && focusReturn_.focusLostOrIn(*this);
    std::erase_if(leftEditing_, [this](const auto& entry) {
        const auto& tabs = appState_->tabs.get();
        return std::none_of(tabs.begin(), tabs.end(), [&](const auto& open) { return open->id() == entry.first; });
    });
    const auto [place, fresh] = leftEditing_.try_emplace(tab->id(), false);
    followActiveRoute(tab);
    tabContent_.showTab(tab, *appState_);
    auto& omnibox = toolbar_.omnibox();
    if (!moveFocus || (fresh && omnibox.isFocused())) return;
    if (place->second)
        omnibox.focus();
    else
        focusActiveTab();
}

// Heard as the active tab is about to change, before anything that comes
// with the change (the omnibox taking the focus for a new tab) has moved it.
void BrowserView::rememberShownTabFocus() {
    if (const auto& shown = tabContent_.tab()) leftEditing_[shown->id()] = toolbar_.omnibox().isFocused();
}

// The shown tab's page turning into a New Tab page (or from one) is looked
// at on the next refresh.
void BrowserView::followActiveRoute(const std::shared_ptr<BrowserTab>& tab) {
    activeRoute_.disconnect();
    activeRoute_ = tab->internalRoute.signalWillChange().connect([this] { refresh_->schedule(); });
}

// The shown tab has just turned into a New Tab page in place, or out of one:
// the keys follow where the user looks. Into one (Home, closing the only
// tab): the page it showed, which may have had the keys, is gone, and a New
// Tab page is for typing an address, as after Ctrl+T. Out of one (Back, a
// bookmark, a shortcut): the omnibox it left them in names the page now, and
// the page takes them, unless the user has typed there. A focus the user has
// elsewhere (a card, a panel's field) stays.
void BrowserView::moveKeysIfTurned() {
    const bool newTab = showsNewTab(appState_->activeTab().get());
    if (newTab == activeShowedNewTab_ || !get_mapped()) return;
    auto& omnibox = toolbar_.omnibox();
    if (newTab) {
        if (focusReturn_.focusLostOrIn(*this) && !omnibox.isFocused()) omnibox.focus();
        return;
    }
    if (focusReturn_.focusLostOrIn(omnibox) && !omnibox.typedInto()) focusActiveTab();
}

void BrowserView::focusActiveTab() {
    GtkWidget* page = tabContent_.webTabView().shownView();
    if (!page || showsNewTab(appState_->activeTab().get()) || !gtk_widget_grab_focus(page))
        toolbar_.omnibox().focus();
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
