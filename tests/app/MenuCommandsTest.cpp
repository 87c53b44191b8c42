#include "app/AppTestSupport.h"

#include "model/BrowserTab.h"
#include "window/MenuCommands.h"

#include <stdexcept>

namespace quorelle::testing {
namespace {

class MenuCommandsTest : public AppTest {
protected:
    MenuCommandsTest() {
        for (auto command : CommandBus::allCommands)
            commands->signal(command).connect([this, command](std::optional<Uuid> id) { posted.push_back({command, id}); });
    }
    std::vector<std::pair<TabCommand, std::optional<Uuid>>> posted;
};

std::vector<std::string> accels(Gtk::Application& app, const std::string& action) {
    std::vector<std::string> out;
    for (const auto& accel : app.get_accels_for_action(action)) out.push_back(accel);
    return out;
}

// What the window's menu bar shows, menu after menu: each item's title and
// the shortcut written beside it.
using ShownItems = std::vector<std::pair<std::string, std::string>>;
void collectShownItems(GtkWidget* widget, ShownItems& out, bool inMenuBar = false) {
    inMenuBar = inMenuBar || GTK_IS_POPOVER_MENU_BAR(widget);
    if (inMenuBar && g_str_equal(G_OBJECT_TYPE_NAME(widget), "GtkModelButton")) {
        gchar* text = nullptr;
        g_object_get(widget, "text", &text, nullptr);
        std::string shortcut;
        for (auto* child = gtk_widget_get_first_child(widget); child; child = gtk_widget_get_next_sibling(child))
            if (GTK_IS_LABEL(child) && g_str_equal(gtk_widget_get_css_name(child), "accelerator"))
                shortcut = gtk_label_get_text(GTK_LABEL(child));
        out.emplace_back(text ? text : "", shortcut);
        g_free(text);
    }
    for (auto* child = gtk_widget_get_first_child(widget); child; child = gtk_widget_get_next_sibling(child))
        collectShownItems(child, out, inMenuBar);
}

TEST_F(MenuCommandsTest, EveryCommandHasItsControlAccelerator) {
    using V = std::vector<std::string>;
    EXPECT_EQ(accels(*app, "win.new-tab"), V{"<Control>t"});
    EXPECT_EQ(accels(*app, "win.close-tab"), V{"<Control>w"});
    EXPECT_EQ(accels(*app, "win.open-file"), V{"<Control>o"});
    EXPECT_EQ(accels(*app, "win.go-back"), (V{"<Control>bracketleft", "<Alt>Left"}));
    EXPECT_EQ(accels(*app, "win.go-forward"), (V{"<Control>bracketright", "<Alt>Right"}));
    EXPECT_EQ(accels(*app, "win.reload"), (V{"<Control>r", "F5"}));
    EXPECT_EQ(accels(*app, "win.go-home"), (V{"<Shift><Control>h", "<Alt>Home"}));
    EXPECT_EQ(accels(*app, "win.open-settings"), V{"<Control>comma"});
    EXPECT_EQ(accels(*app, "win.inspect"), V{"<Shift><Control>i"});
    EXPECT_EQ(accels(*app, "app.quit"), V{"<Control>q"});

    // The same triggers are caught before a page or a field sees them.
    auto controller = mainWindow().menuCommands().shortcutController();
    EXPECT_EQ(controller->get_propagation_phase(), Gtk::PropagationPhase::CAPTURE);
    EXPECT_EQ(controller->get_n_items(), 14u);

    // A command name the table lacks is a mistake that stops the start.
    EXPECT_THROW(MenuCommands::handler("inspect-page", state.get(), *commands, {}), std::invalid_argument);
}

TEST_F(MenuCommandsTest, MenuBarHasFileGoAndDeveloperMenus) {
    auto menubar = app->get_menubar();
    ASSERT_TRUE(menubar);
    ASSERT_EQ(menubar->get_n_items(), 3);
    std::vector<std::string> titles;
    for (int i = 0; i < 3; ++i)
        titles.push_back(Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(
                             menubar->get_item_attribute(i, Gio::MenuModel::Attribute::LABEL,
                                                         Glib::VARIANT_TYPE_STRING))
                             .get());
    EXPECT_EQ(titles, (std::vector<std::string>{"File", "Go", "Developer"}));
    EXPECT_TRUE(mainWindow().get_show_menubar());

    // Each item shows its first shortcut; Quit ends the File menu.
    ShownItems shown;
    collectShownItems(GTK_WIDGET(mainWindow().gobj()), shown);
    EXPECT_EQ(shown, (ShownItems{{"New Tab", "Ctrl+T"},
                                 {"Close Tab", "Ctrl+W"},
                                 {"Open File\u2026", "Ctrl+O"},
                                 {"Quit", "Ctrl+Q"},
                                 {"Back", "Ctrl+["},
                                 {"Forward", "Ctrl+]"},
                                 {"Reload", "Ctrl+R"},
                                 {"Home", "Shift+Ctrl+H"},
                                 {"Settings", "Ctrl+,"},
                                 {"Inspect", "Shift+Ctrl+I"}}));
}

TEST_F(MenuCommandsTest, NewTabAndCloseTabActOnTheirOwnWindowsState) {
    const auto mainTabs = state->tabs.get().size();
    mainWindow().activate_action("win.new-tab");
    settle();
    ASSERT_EQ(state->tabs.get().size(), mainTabs + 1);
    EXPECT_EQ(state->activeTab(), state->tabs.get().back());

    auto& guest = app->openGuestWindow();
    const auto guestTabs = guestState->tabs.get().size();
    guest.activate_action("win.new-tab");
    settle();
    EXPECT_EQ(guestState->tabs.get().size(), guestTabs + 1);
    EXPECT_EQ(state->tabs.get().size(), mainTabs + 1);

    mainWindow().activate_action("win.close-tab");
    settle();
    EXPECT_EQ(state->tabs.get().size(), mainTabs);
}

TEST_F(MenuCommandsTest, PageCommandsPostForTheActiveTabOnly) {
    const auto id = state->activeTab()->id();
    for (const char* action : {"win.go-back", "win.go-forward", "win.reload", "win.inspect"})
        mainWindow().activate_action(action);
    settle();
    EXPECT_EQ(posted, (decltype(posted){{TabCommand::goBack, id},
                                        {TabCommand::goForward, id},
                                        {TabCommand::reload, id},
                                        {TabCommand::inspect, id}}));

    // With no browser window the posting carries no tab, and the state
    // commands do nothing.
    posted.clear();
    MenuCommands::reload(nullptr, *commands);
    settle();
    EXPECT_EQ(posted, (decltype(posted){{TabCommand::reload, std::nullopt}}));
    EXPECT_NO_THROW(MenuCommands::newTab(nullptr));
    EXPECT_EQ(MenuCommands::homeTarget(nullptr), "vx://newtab");
}

TEST_F(MenuCommandsTest, SettingsAndHomeNavigateTheActiveTab) {
    const auto tabs = state->tabs.get().size();
    mainWindow().activate_action("win.open-settings");
    settle();
    EXPECT_EQ(state->activeTab()->urlString.get(), "vx://settings");

    mainWindow().activate_action("win.go-home");
    settle();
    EXPECT_EQ(state->activeTab()->urlString.get(), "vx://newtab");
    EXPECT_EQ(state->tabs.get().size(), tabs);  // the same tab, not a new one

    const std::string home = server.url("/home");
    state->profileData.modify([&](ProfileData& data) {
        data.settings.newTabBehavior = NewTabBehavior::homepage;
        data.settings.homepage = home;
    });
    EXPECT_EQ(MenuCommands::homeTarget(state.get()), home);
}

}  // namespace
}  // namespace quorelle::testing
