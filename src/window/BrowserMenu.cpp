#include "window/BrowserMenu.h"

#include "state/AppState.h"
#include "window/ChromeStyle.h"
#include "window/CreateProfileSheet.h"
#include "window/ViewRefresh.h"

#include <giomm/menuitem.h>
#include <giomm/themedicon.h>
#include <gtkmm/popover.h>
#include <gtkmm/window.h>

#include <utility>

namespace quorelle {

namespace {

// Action names within BrowserMenu::actionPrefix.
constexpr const char* newTabAction = "new-tab";
constexpr const char* historyAction = "history";
constexpr const char* downloadsAction = "downloads";
constexpr const char* bookmarksAction = "bookmarks";
constexpr const char* sidebarAction = "bookmarks-sidebar";
constexpr const char* settingsAction = "settings";
constexpr const char* themesAction = "themes";
constexpr const char* proxyAction = "proxy";
constexpr const char* developerAction = "developer-mode";
constexpr const char* exitGuestAction = "exit-guest";
constexpr const char* openGuestAction = "open-guest";
constexpr const char* createProfileAction = "create-profile";

BrowserMenu::Item item(const char* action, const char* title, const char* icon) { return {action, title, icon}; }

}  // namespace

std::vector<BrowserMenu::Section> BrowserMenu::sections(const AppState& appState) {
    std::vector<Section> result;
    result.push_back({item(newTabAction, "New Tab", "list-add-symbolic")});
    result.push_back({item(historyAction, "History", "document-open-recent-symbolic"),
                      item(downloadsAction, "Downloads", "folder-download-symbolic"),
                      item(bookmarksAction, "Bookmarks", "user-bookmarks-symbolic"),
                      item(sidebarAction, "Bookmarks Sidebar", "sidebar-show-symbolic"),
                      item(settingsAction, "Settings", "emblem-system-symbolic"),
                      item(themesAction, "Themes", "applications-graphics-symbolic")});

    Section tools{item(proxyAction, "Proxy Add-on", "network-wired-symbolic")};
    if (appState.settings().developerMode)
        tools.push_back(item(developerAction, "Developer Mode", "applications-engineering-symbolic"));
    result.push_back(std::move(tools));

    Section profiles;
    if (appState.isGuest() || appState.isGuestWindow())
        profiles.push_back(item(exitGuestAction, "Exit Guest Mode", "system-log-out-symbolic"));
    else
        profiles.push_back(item(openGuestAction, "Open Guest Mode", "view-conceal-symbolic"));
    // Guests cannot make profiles, so the item is not offered to them.
    if (!appState.currentProfile().isGuest && !appState.isGuestWindow())
        profiles.push_back(item(createProfileAction, "Create Profile", "contact-new-symbolic"));
    result.push_back(std::move(profiles));
    return result;
}

BrowserMenu::BrowserMenu(std::shared_ptr<AppState> appState, Gtk::MenuButton& button)
    : appState_(std::move(appState)),
      button_(&button),
      model_(Gio::Menu::create()),
      actions_(Gio::SimpleActionGroup::create()),
      refresh_(std::make_unique<ViewRefresh>(appState_->mainQueue(), [this] { refresh(); })) {
    addActions();
    refresh();
    button.insert_action_group(actionPrefix, actions_);
    button.set_menu_model(model_);
    // Listed items depend on the state at the moment the menu opens. (A
    // create-popup hook would do too, but GTK 4.8 frees its data twice when
    // the button is destroyed.)
    if (auto* popover = button.get_popover()) {
        popover->add_css_class(ChromeStyle::themedPopover);
        popoverShown_ = popover->signal_show().connect([this] { refresh(); });
    }
    g_object_weak_ref(G_OBJECT(button.gobj()), &BrowserMenu::onButtonGone, this);
    stateConnection_ = appState_->signalObjectWillChange().connect([this] { refresh_->schedule(); });
}

BrowserMenu::~BrowserMenu() {
    stateConnection_.disconnect();
    popoverShown_.disconnect();
    if (button_) {
        g_object_weak_unref(G_OBJECT(button_->gobj()), &BrowserMenu::onButtonGone, this);
        button_->insert_action_group(actionPrefix, Glib::RefPtr<Gio::ActionGroup>());
    }
}

void BrowserMenu::onButtonGone(gpointer menu, GObject*) { static_cast<BrowserMenu*>(menu)->button_ = nullptr; }

void BrowserMenu::addActions() {
    const auto add = [this](const char* name, std::function<void()> run) {
        actions_->add_action(name, [run = std::move(run)] { run(); });
    };
    add(newTabAction, [this] {
        appState_->newTab();
        newTabOpened_.emit();
    });
    add(historyAction, [this] { navigate("vx://history"); });
    add(downloadsAction, [this] { navigate("vx://downloads"); });
    add(bookmarksAction, [this] { navigate("vx://bookmarks"); });
    add(sidebarAction, [this] { toggleBookmarksSidebar(); });
    add(settingsAction, [this] { navigate("vx://settings"); });
    add(themesAction, [this] { navigate("vx://themes"); });
    add(proxyAction, [this] { navigate("vx://proxy"); });
    add(developerAction, [this] { navigate("vx://experiments"); });
    add(exitGuestAction, [this] { exitGuestMode(); });
    add(openGuestAction, [this] { openGuestWindow(); });
    add(createProfileAction, [this] { setShowCreateProfile(true); });
}

void BrowserMenu::refresh() {
    if (auto history = std::dynamic_pointer_cast<Gio::SimpleAction>(actions_->lookup_action(historyAction)))
        history->set_enabled(!appState_->isGuest());
    auto listed = sections(*appState_);
    if (listed != shown_) rebuildModel(listed);
    // Actions of unlisted items stay unreachable, whatever activates them.
    for (const char* name : {developerAction, exitGuestAction, openGuestAction, createProfileAction}) {
        bool present = false;
        for (const auto& section : listed)
            for (const auto& entry : section) present = present || entry.action == name;
        if (auto action = std::dynamic_pointer_cast<Gio::SimpleAction>(actions_->lookup_action(name)))
            action->set_enabled(present);
    }
    shown_ = std::move(listed);
}

void BrowserMenu::rebuildModel(const std::vector<Section>& sections) {
    model_->remove_all();
    for (const auto& section : sections) {
        auto part = Gio::Menu::create();
        for (const auto& entry : section) {
            auto menuItem = Gio::MenuItem::create(entry.title, std::string(actionPrefix) + "." + entry.action);
            menuItem->set_icon(Gio::ThemedIcon::create(entry.icon));
            part->append_item(menuItem);
        }
        model_->append_section(part);
    }
}

void BrowserMenu::navigate(const char* address) { appState_->navigateActive(address); }

// Closes the bookmarks sidebar when it is open, and opens it otherwise (also
// in place of the history sidebar). The choice is kept in the settings.
void BrowserMenu::toggleBookmarksSidebar() {
    const bool open = appState_->sidebarKind.get() == SidebarKind::bookmarks;
    appState_->setSidebar(open ? SidebarKind::none : SidebarKind::bookmarks, true);
}

// A guest profile in a normal window goes back to the default profile; the
// guest window itself is closed.
void BrowserMenu::exitGuestMode() {
    if (!appState_->isGuestWindow()) {
        appState_->switchProfile(AppSettings::defaultProfileID);
        return;
    }
    if (auto* window = button_ ? dynamic_cast<Gtk::Window*>(button_->get_root()) : nullptr) window->close();
}

void BrowserMenu::openGuestWindow() {
    if (button_) button_->activate_action("app.open-guest");
}

}  // namespace quorelle
