#include "window/Toolbar.h"

#include "model/BrowserTab.h"
#include "state/AppState.h"
#include "web/CommandBus.h"
#include "window/ChromeMetrics.h"
#include "window/ChromeStyle.h"
#include "window/MenuCommands.h"
#include "window/ViewRefresh.h"

#include <giomm/menu.h>

#include <utility>

namespace quorelle {

namespace {

constexpr int groupSpacing = 2;

void setUpButton(Gtk::Widget& button, const char* name, const char* styleClass) {
    button.set_name(name);
    button.add_css_class(styleClass);
    button.add_css_class("flat");
    const int side = ChromeMetrics::px(ChromeMetrics::navButtonSize);
    button.set_size_request(side, side);
    button.set_valign(Gtk::Align::CENTER);
    button.set_focus_on_click(false);
    // Clicked, never focused, like every control of the strip and the bar:
    // typed text would be lost on it, and Return or Space would press it.
    button.set_focusable(false);
    // A menu button is pressed through the toggle inside it.
    if (dynamic_cast<Gtk::MenuButton*>(&button))
        if (auto* toggle = button.get_first_child()) toggle->set_focusable(false);
}

}  // namespace

Toolbar::Toolbar(std::shared_ptr<AppState> appState, CommandBus& commandBus)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, ChromeMetrics::px(ChromeMetrics::toolbarSpacing)),
      appState_(std::move(appState)),
      commandBus_(commandBus),
      navigation_(Gtk::Orientation::HORIZONTAL, groupSpacing),
      omnibox_(appState_),
      actions_(Gtk::Orientation::HORIZONTAL, groupSpacing),
      refresh_(std::make_unique<ViewRefresh>(appState_->mainQueue(), [this] { refresh(); })),
      // Load events change only the tab; the row follows them too.
      activeTab_([this] { refresh_->schedule(); }) {
    set_name("toolbar");
    add_css_class(ChromeStyle::toolbar);
    set_size_request(-1, ChromeMetrics::px(ChromeMetrics::toolbarHeight));

    buildNavigationGroup();
    omnibox_.set_size_request(ChromeMetrics::px(ChromeMetrics::omniboxMinWidth), -1);
    buildActionGroup();
    append(navigation_);
    append(omnibox_);
    append(actions_);

    stateConnection_ = appState_->signalObjectWillChange().connect([this] { refresh_->schedule(); });
    refresh();
}

Toolbar::~Toolbar() {
    for (auto& connection : buttonConnections_) connection.disconnect();
    stateConnection_.disconnect();
}

void Toolbar::buildNavigationGroup() {
    navigation_.set_valign(Gtk::Align::CENTER);
    navigation_.set_hexpand(false);
    setUpButton(back_, "toolbar-back", ChromeStyle::navButton);
    setUpButton(forward_, "toolbar-forward", ChromeStyle::navButton);
    setUpButton(reload_, "toolbar-reload", ChromeStyle::navButton);
    setUpButton(home_, "toolbar-home", ChromeStyle::navButton);
    back_.set_icon_name("go-previous-symbolic");
    forward_.set_icon_name("go-next-symbolic");
    reload_.set_icon_name("view-refresh-symbolic");
    home_.set_icon_name("go-home-symbolic");
    buttonConnections_.push_back(
        back_.signal_clicked().connect([this] { MenuCommands::goBack(appState_.get(), commandBus_); }));
    buttonConnections_.push_back(
        forward_.signal_clicked().connect([this] { MenuCommands::goForward(appState_.get(), commandBus_); }));
    buttonConnections_.push_back(reload_.signal_clicked().connect([this] { reloadOrStop(); }));
    buttonConnections_.push_back(home_.signal_clicked().connect([this] { MenuCommands::goHome(appState_.get()); }));
    for (auto* button : {&back_, &forward_, &reload_, &home_}) navigation_.append(*button);
}

void Toolbar::buildActionGroup() {
    actions_.set_valign(Gtk::Align::CENTER);
    actions_.set_hexpand(false);
    setUpButton(bookmark_, "toolbar-bookmark", ChromeStyle::actionButton);
    setUpButton(profileMenu_, "toolbar-profile-menu", ChromeStyle::actionButton);
    setUpButton(sidebar_, "toolbar-sidebar", ChromeStyle::actionButton);
    setUpButton(browserMenu_, "toolbar-browser-menu", ChromeStyle::actionButton);
    bookmark_.set_icon_name("non-starred-symbolic");
    sidebar_.set_icon_name("sidebar-show-symbolic");
    profileMenu_.set_icon_name("avatar-default-symbolic");
    browserMenu_.set_icon_name("view-more-symbolic");
    profileMenu_.set_has_frame(false);
    browserMenu_.set_has_frame(false);
    profileMenu_.set_menu_model(Gio::Menu::create());
    browserMenu_.set_menu_model(Gio::Menu::create());
    buttonConnections_.push_back(bookmark_.signal_clicked().connect([this] { appState_->toggleBookmark(); }));
    buttonConnections_.push_back(sidebar_.signal_clicked().connect([this] { toggleSidebar(); }));
    actions_.append(bookmark_);
    actions_.append(profileMenu_);
    actions_.append(sidebar_);
    actions_.append(browserMenu_);
}

void Toolbar::refresh() {
    const auto tab = appState_->activeTab();
    activeTab_.follow(tab);
    back_.set_sensitive(tab && tab->canGoBack.get());
    forward_.set_sensitive(tab && tab->canGoForward.get());
    reload_.set_icon_name(tab && tab->isLoading.get() ? "process-stop-symbolic" : "view-refresh-symbolic");
    const bool starred = appState_->isBookmarked(tab ? tab->urlString.get() : std::string());
    bookmark_.set_icon_name(starred ? "starred-symbolic" : "non-starred-symbolic");
}

void Toolbar::reloadOrStop() {
    const auto tab = appState_->activeTab();
    if (!tab) return;
    if (tab->isLoading.get())
        commandBus_.post(TabCommand::stop, tab->id());
    else
        appState_->reloadTab(tab);
}

void Toolbar::toggleSidebar() {
    const bool closed = appState_->sidebarKind.get() == SidebarKind::none;
    appState_->setSidebar(closed ? SidebarKind::bookmarks : SidebarKind::none, true);
}

}  // namespace quorelle
