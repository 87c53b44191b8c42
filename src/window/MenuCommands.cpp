#include "window/MenuCommands.h"

#include "model/BrowserTab.h"
#include "model/InternalPageRoute.h"
#include "state/AppState.h"
#include "web/CommandBus.h"

#include <gtkmm/shortcut.h>
#include <gtkmm/shortcutaction.h>
#include <gtkmm/shortcuttrigger.h>

namespace quorelle {
namespace {

std::optional<Uuid> activeTabID(AppState* state) {
    auto tab = state ? state->activeTab() : nullptr;
    if (!tab) return std::nullopt;
    return tab->id();
}

Glib::RefPtr<Gio::MenuItem> item(const MenuCommands::Command& command) {
    return Gio::MenuItem::create(command.title, std::string("win.") + command.action);
}

const MenuCommands::Command& command(std::string_view action) {
    for (const auto& c : MenuCommands::commands())
        if (action == c.action) return c;
    return MenuCommands::commands().front();
}

}  // namespace

const std::vector<MenuCommands::Command>& MenuCommands::commands() {
    static const std::vector<Command> all{
        {"new-tab", "New Tab", {"<Control>t"}},
        {"close-tab", "Close Tab", {"<Control>w"}},
        {"open-file", "Open File\u2026", {"<Control>o"}},
        {"go-back", "Back", {"<Control>bracketleft", "<Alt>Left"}},
        {"go-forward", "Forward", {"<Control>bracketright", "<Alt>Right"}},
        {"reload", "Reload", {"<Control>r", "F5"}},
        {"go-home", "Home", {"<Shift><Control>h", "<Alt>Home"}},
        {"open-settings", "Settings", {"<Control>comma"}},
        {"inspect", "Inspect", {"<Shift><Control>i"}},
    };
    return all;
}

Glib::RefPtr<Gio::Menu> MenuCommands::menuModel() {
    auto file = Gio::Menu::create();
    auto fileTabs = Gio::Menu::create();
    fileTabs->append_item(item(command("new-tab")));
    fileTabs->append_item(item(command("close-tab")));
    file->append_section(fileTabs);
    auto fileOpen = Gio::Menu::create();
    fileOpen->append_item(item(command("open-file")));
    file->append_section(fileOpen);

    auto go = Gio::Menu::create();
    auto steps = Gio::Menu::create();
    for (const char* action : {"go-back", "go-forward", "reload", "go-home"}) steps->append_item(item(command(action)));
    go->append_section(steps);
    auto settings = Gio::Menu::create();  // after a divider
    settings->append_item(item(command("open-settings")));
    go->append_section(settings);

    auto developer = Gio::Menu::create();
    developer->append_item(item(command("inspect")));

    auto bar = Gio::Menu::create();
    bar->append_submenu("File", file);
    bar->append_submenu("Go", go);
    bar->append_submenu("Developer", developer);
    return bar;
}

void MenuCommands::registerAccelerators(Gtk::Application& application) {
    for (const auto& c : commands()) {
        std::vector<Glib::ustring> accels(c.accelerators.begin(), c.accelerators.end());
        application.set_accels_for_action(std::string("win.") + c.action, accels);
    }
}

MenuCommands::MenuCommands(Gtk::ApplicationWindow& window, std::shared_ptr<AppState> appState,
                           CommandBus& commandBus, OpenFile openFile)
    : window_(window), appState_(std::move(appState)), commandBus_(commandBus), openFile_(std::move(openFile)) {
    installActions();
    installShortcuts();
}

MenuCommands::~MenuCommands() {
    window_.remove_controller(shortcuts_);
    for (const auto& c : commands()) window_.remove_action(c.action);
}

std::function<void()> MenuCommands::handlerFor(std::string_view action) {
    AppState* state = appState_.get();
    CommandBus* bus = &commandBus_;
    if (action == "new-tab") return [state] { newTab(state); };
    if (action == "close-tab") return [state] { closeTab(state); };
    if (action == "open-file")
        return [this, state] {
            if (openFile_) openFile_(state);
        };
    if (action == "go-back") return [state, bus] { goBack(state, *bus); };
    if (action == "go-forward") return [state, bus] { goForward(state, *bus); };
    if (action == "reload") return [state, bus] { reload(state, *bus); };
    if (action == "go-home") return [state] { goHome(state); };
    if (action == "open-settings") return [state] { openSettings(state); };
    return [state, bus] { inspect(state, *bus); };
}

void MenuCommands::installActions() {
    for (const auto& c : commands()) window_.add_action(c.action, handlerFor(c.action));
}

void MenuCommands::installShortcuts() {
    shortcuts_ = Gtk::ShortcutController::create();
    shortcuts_->set_name("menu-command-shortcuts");
    shortcuts_->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    for (const auto& c : commands()) {
        for (const char* accel : c.accelerators) {
            auto trigger = Gtk::ShortcutTrigger::parse_string(accel);
            if (!trigger) continue;
            shortcuts_->add_shortcut(
                Gtk::Shortcut::create(trigger, Gtk::NamedAction::create(std::string("win.") + c.action)));
        }
    }
    window_.add_controller(shortcuts_);
}

// ---- the commands ---------------------------------------------------------------

void MenuCommands::newTab(AppState* state) {
    if (state) state->newTab(std::nullopt);
}

void MenuCommands::closeTab(AppState* state) {
    if (!state) return;
    if (auto tab = state->activeTab()) state->closeTab(tab);
}

void MenuCommands::openSettings(AppState* state) {
    if (state) state->navigateActive("vx://settings");
}

std::string MenuCommands::homeTarget(const AppState* state) {
    if (state && state->settings().newTabBehavior == NewTabBehavior::homepage) return state->settings().homepage;
    return InternalPageRoute(InternalPageRoute::newtab).vxURL();
}

void MenuCommands::goHome(AppState* state) {
    const auto target = homeTarget(state);
    if (state) state->navigateActive(target);
}

void MenuCommands::goBack(AppState* state, CommandBus& commandBus) {
    commandBus.post(TabCommand::goBack, activeTabID(state));
}

void MenuCommands::goForward(AppState* state, CommandBus& commandBus) {
    commandBus.post(TabCommand::goForward, activeTabID(state));
}

void MenuCommands::reload(AppState* state, CommandBus& commandBus) {
    commandBus.post(TabCommand::reload, activeTabID(state));
}

void MenuCommands::inspect(AppState* state, CommandBus& commandBus) {
    commandBus.post(TabCommand::inspect, activeTabID(state));
}

}  // namespace quorelle
