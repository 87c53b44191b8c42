// The menu commands' shortcuts pressed on a real keyboard.
#include "app/AppTestSupport.h"
#include "support/RealInput.h"

#include "model/BrowserTab.h"
#include "window/BookmarksBar.h"

namespace quorelle::testing {
namespace {

class ShortcutKeysTest : public AppTest {
protected:
    ShortcutKeysTest() {
        for (auto command : CommandBus::allCommands)
            commands->signal(command).connect([this, command](std::optional<Uuid> id) { posted.push_back({command, id}); });
    }
    void press(Gtk::Window& window, const char* accelerator) {
        ASSERT_TRUE(runUntil([&] { return pressAccelerator(window, accelerator); })) << accelerator;
    }
    std::vector<std::pair<TabCommand, std::optional<Uuid>>> posted;
};

TEST_F(ShortcutKeysTest, GoShortcutsReachTheActiveTab) {
    const auto id = state->activeTab()->id();
    const std::pair<const char*, TabCommand> pageKeys[] = {{"<Control>bracketleft", TabCommand::goBack},
                                                           {"<Control>bracketright", TabCommand::goForward},
                                                           {"<Control>r", TabCommand::reload}};
    for (const auto& [keys, command] : pageKeys) {
        posted.clear();
        press(mainWindow(), keys);
        EXPECT_TRUE(runUntil([&] { return !posted.empty(); })) << keys;
        settle();
        EXPECT_EQ(posted, (decltype(posted){{command, id}})) << keys;
    }

    state->navigateActive("vx://settings");
    settle();
    press(mainWindow(), "<Shift><Control>h");
    EXPECT_TRUE(runUntil([&] { return state->activeTab()->urlString.get() == "vx://newtab"; }));
}

TEST_F(ShortcutKeysTest, QuitFromASheetClosesBothWindowsAsTheTitleBarDoesAndKeepsWhatWasSaved) {
    state->newTab("vx://settings");
    settle();
    auto& guest = app->openGuestWindow();
    ASSERT_TRUE(runUntil([&] { return guest.get_mapped(); }));

    // Pressed in a modal sheet over the main window, as in the window itself.
    state->createBookmark("Example", "https://a.example/", std::nullopt, std::nullopt);
    settle();
    auto& bar = mainWindow().controls().bookmarksBar();
    bar.editBookmark(state->profileData.get().bookmarks.back());
    ASSERT_NE(bar.editSheet(), nullptr);
    ASSERT_TRUE(runUntil([&] { return bar.editSheet()->get_mapped(); }));
    press(*bar.editSheet(), "<Control>q");
    EXPECT_TRUE(runUntil([&] { return app->get_windows().empty(); }));
    EXPECT_FALSE(mainWindow().get_visible());

    DataStore reread(scratch_ + "/QuorelleData", DataStore::Access::readOnly);
    const auto tabs = reread.loadProfileData("default").settings.lastSessionTabs;
    ASSERT_EQ(tabs.size(), 2u);
    EXPECT_EQ(tabs.back().urlString, "vx://settings");
}

}  // namespace
}  // namespace quorelle::testing
