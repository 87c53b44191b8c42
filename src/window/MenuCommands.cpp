#include "window/MenuCommands.h"

#include "model/BrowserTab.h"
#include "model/InternalPageRoute.h"
#include "state/AppState.h"
#include "web/CommandBus.h"

#include <gtkmm/shortcut.h>
#include <gtkmm/shortcutaction.h>
#include <gtkmm/shortcuttrigger.h>

#include <initializer_list>
#include <stdexcept>

namespace quorelle {
namespace {

// A capture-phase controller, so neither a focused page nor a text field can
// swallow its shortcuts.
Glib::RefPtr<Gtk::ShortcutController> captureShortcuts() {
    auto shortcuts = Gtk::ShortcutController::create();
    shortcuts->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    return shortcuts;
}

// Each of the command's accelerators runs `action`.
void addShortcuts(Gtk::ShortcutController& shortcuts, const MenuCommands::Command& command,
                  const Glib::RefPtr<Gtk::ShortcutAction>& action) {
    for (const char* accel : command.accelerators)
        if (auto trigger = Gtk::ShortcutTrigger::parse_string(accel))
            shortcuts.add_shortcut(Gtk::Shortcut::create(trigger, action));
}

std::optional<Uuid> activeTabID(AppState* state) {
    auto tab = state ? state->activeTab() : nullptr;
    if (!tab) return std::nullopt;
    return tab->id();
}

const MenuCommands::Command& command(std::string_view action) {
    for (const auto& c : MenuCommands::commands())
        if (action == c.action) return c;
    throw std::invalid_argument("no menu command \"" + std::string(action) + "\"");
}

// The item shows the command's first shortcut; left to itself the menu
// would pick any of them.
Glib::RefPtr<Gio::MenuItem> item(std::string_view action) {
    const auto& c = command(action);
    auto menuItem = Gio::MenuItem::create(c.title, c.detailedAction());
    if (!c.accelerators.empty())
        menuItem->set_attribute_value("accel", Glib::Variant<Glib::ustring>::create(c.accelerators.front()));
    return menuItem;
}

Glib::RefPtr<Gio::Menu> section(std::initializer_list<const char*> actions) {
    auto menu = Gio::Menu::create();
    for (const char* action : actions) menu->append_item(item(action));
    return menu;
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
        {"quit", "Quit", {"<Control>q"}, "app"},
    };
    return all;
}

Glib::RefPtr<Gio::Menu> MenuCommands::menuModel() {
    auto file = Gio::Menu::create();
    file->append_section(section({"new-tab", "close-tab"}));
    file->append_section(section({"open-file"}));
    file->append_section(section({"quit"}));

    auto go = Gio::Menu::create();
    go->append_section(section({"go-back", "go-forward", "reload", "go-home"}));
    go->append_section(section({"open-settings"}));  // after a divider

    auto bar = Gio::Menu::create();
    bar->append_submenu("File", file);
    bar->append_submenu("Go", go);
    bar->append_submenu("Developer", section({"inspect"}));
    return bar;
}

void MenuCommands::registerAccelerators(Gtk::Application& application) {
    for (const auto& c : commands()) {
        std::vector<Glib::ustring> accels(c.accelerators.begin(), c.accelerators.end());
        application.set_accels_for_action(c.detailedAction(), accels);
    }
}

void MenuCommands::forwardApplicationShortcuts(Gtk::Window& modal) {
    auto shortcuts = captureShortcuts();
    for (const auto& c : commands()) {
        if (std::string_view(c.group) != "app") continue;
        addShortcuts(*shortcuts, c,
                     Gtk::CallbackAction::create([&modal, action = c.detailedAction()](Gtk::Widget&, const Glib::VariantBase&) {
                         Gtk::Window* parent = modal.get_transient_for();
                         return parent && parent->activate_action(action);
                     }));
    }
    modal.add_controller(shortcuts);
}

MenuCommands::MenuCommands(Gtk::ApplicationWindow& window, std::shared_ptr<AppState> appState,
                           CommandBus& commandBus, OpenFile openFile)
    : window_(window), appState_(std::move(appState)), commandBus_(commandBus), openFile_(std::move(openFile)) {
    installActions();
    installShortcuts();
}

MenuCommands::~MenuCommands() {
    window_.remove_controller(shortcuts_);
    for (const auto& c : commands())
        if (std::string_view(c.group) == "win") window_.remove_action(c.action);
}

std::function<void()> MenuCommands::handler(std::string_view action, AppState* state, CommandBus& commandBus,
                                            const OpenFile& openFile) {
    CommandBus* bus = &commandBus;
    if (action == "new-tab") return [state] { newTab(state); };
    if (action == "close-tab") return [state] { closeTab(state); };
    if (action == "open-file")
        return [openFile, state] {
            if (openFile) openFile(state);
        };
    if (action == "go-back") return [state, bus] { goBack(state, *bus); };
    if (action == "go-forward") return [state, bus] { goForward(state, *bus); };
    if (action == "reload") return [state, bus] { reload(state, *bus); };
    if (action == "go-home") return [state] { goHome(state); };
    if (action == "open-settings") return [state] { openSettings(state); };
    if (action == "inspect") return [state, bus] { inspect(state, *bus); };
    throw std::invalid_argument("no window command \"" + std::string(action) + "\"");
}

void MenuCommands::installActions() {
    for (const auto& c : commands()) {
        if (std::string_view(c.group) != "win") continue;
        auto run = handler(c.action, appState_.get(), commandBus_, openFile_);
        if (std::string_view(c.action) == "new-tab")
            run = [this, run = std::move(run)] {
                run();
                newTabOpened_.emit();
            };
        window_.add_action(c.action, run);
    }
}

void MenuCommands::installShortcuts() {
    shortcuts_ = captureShortcuts();
    shortcuts_->set_name("menu-command-shortcuts");
    for (const auto& c : commands()) addShortcuts(*shortcuts_, c, Gtk::NamedAction::create(c.detailedAction()));
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
