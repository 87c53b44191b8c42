#include "window/Sidebar.h"

#include "window/ChromeStyle.h"
#include "support/RealInput.h"
#include "window/WindowTestSupport.h"

#include <gtkmm/label.h>

#include <algorithm>

namespace quorelle::testing {
namespace {

class SidebarTest : public WindowStateTest {
protected:
    void SetUp() override {
        WindowStateTest::SetUp();
        sidebar = std::make_unique<Sidebar>(state);
        showInWindow(*sidebar);
        web_.loads.clear();
    }
    void TearDown() override {
        if (window_) window_->unset_child();
        sidebar.reset();
    }

    // The rows the list draws now (it keeps some widgets off screen), top
    // to bottom.
    std::vector<Gtk::Widget*> drawnRows() {
        std::vector<std::pair<double, Gtk::Widget*>> placed;
        for (auto* row = sidebar->list().get_first_child(); row; row = row->get_next_sibling()) {
            double x = 0, y = 0;
            if (row->get_mapped() && dynamic_cast<Gtk::Label*>(row->get_first_child()) &&
                row->translate_coordinates(sidebar->list(), 0, 0, x, y))
                placed.emplace_back(y, row);
        }
        std::sort(placed.begin(), placed.end());
        std::vector<Gtk::Widget*> out;
        for (auto& [y, row] : placed) out.push_back(row);
        return out;
    }
    static std::string titleOf(Gtk::Widget* row) { return dynamic_cast<Gtk::Label*>(row->get_first_child())->get_text(); }
    // The titles drawn, once the window has painted what the list lists.
    std::vector<std::string> rowTitles() {
        runUntil([&] {
            waitForFrame();
            return drawnRows().size() == sidebar->rows().size();
        });
        std::vector<std::string> out;
        for (auto* row : drawnRows()) out.push_back(titleOf(row));
        return out;
    }
    void waitForFrame() {
        GdkFrameClock* clock = gtk_widget_get_frame_clock(GTK_WIDGET(window_->gobj()));
        bool painted = false;
        const gulong handler =
            g_signal_connect_swapped(clock, "after-paint", G_CALLBACK(+[](bool* done) { *done = true; }), &painted);
        window_->queue_draw();
        runUntil([&] { return painted; });
        g_signal_handler_disconnect(clock, handler);
    }
    void type(const std::string& text) {
        sidebar->searchEntry().set_text(text);
        settle();
    }
    void click(Gtk::Button& button) {
        g_signal_emit_by_name(button.gobj(), "clicked");
        settle();
    }
    // A real click on the row drawn at `index`.
    void clickRow(std::size_t index) {
        rowTitles();
        ASSERT_LT(index, drawnRows().size());
        const std::size_t loads = web_.loads.size();
        ASSERT_TRUE(clickWidget(*drawnRows()[index]));
        runUntil([&] {
            settle();
            return web_.loads.size() > loads;
        });
    }
    void show(SidebarKind kind) {
        state->setSidebar(kind, false);
        settle();
    }

    std::unique_ptr<Sidebar> sidebar;
};

TEST(SidebarFilter, MatchesTitleOrAddressIgnoringCaseAndKeepsSpaces) {
    EXPECT_TRUE(Sidebar::passesFilter("anything", "https://x", ""));
    EXPECT_TRUE(Sidebar::passesFilter("Docs", "https://example.com", "EXAMPLE"));
    EXPECT_TRUE(Sidebar::passesFilter("L'école", "https://x", "ÉCOLE"));
    EXPECT_TRUE(Sidebar::passesFilter("My Page", "https://x", "y p"));
    EXPECT_FALSE(Sidebar::passesFilter("Page", "https://page.example", " page"));
    EXPECT_TRUE(Sidebar::passesFilter("A page", "https://x", " page"));
}

TEST_F(SidebarTest, HistoryListsNewestFirstUnderItsHeading) {
    show(SidebarKind::history);
    state->addHistory("First", "https://first.example/");
    state->addHistory("Second", "https://second.example/");
    state->addHistory("Third", "https://third.example/");
    settle();
    EXPECT_EQ(sidebar->titleLabel().get_text(), "History");
    EXPECT_EQ(rowTitles(), (std::vector<std::string>{"Third", "Second", "First"}));
}

TEST_F(SidebarTest, BookmarksKindListsBookmarksInStoredOrder) {
    state->createBookmark("One", "https://one.example/", std::nullopt, std::nullopt);
    state->createBookmark("Two", "https://two.example/", Uuid::random(), std::nullopt);
    state->addHistory("Visited", "https://visited.example/");
    show(SidebarKind::bookmarks);
    EXPECT_EQ(sidebar->titleLabel().get_text(), "Bookmarks");
    EXPECT_EQ(rowTitles(), (std::vector<std::string>{"One", "Two"}));

    show(SidebarKind::history);
    EXPECT_EQ(sidebar->titleLabel().get_text(), "History");
    EXPECT_EQ(rowTitles(), (std::vector<std::string>{"Visited"}));
}

TEST_F(SidebarTest, SearchFiltersCaseInsensitivelyAndSurvivesSwitchingLists) {
    state->createBookmark("Mail", "https://mail.example/", std::nullopt, std::nullopt);
    state->createBookmark("News", "https://news.example/", std::nullopt, std::nullopt);
    state->addHistory("Weather", "https://weather.example/news");
    state->addHistory("Sport", "https://sport.example/");
    show(SidebarKind::bookmarks);

    type("NEWS");
    EXPECT_EQ(rowTitles(), (std::vector<std::string>{"News"}));
    show(SidebarKind::history);
    EXPECT_EQ(sidebar->search(), "NEWS");
    EXPECT_EQ(rowTitles(), (std::vector<std::string>{"Weather"}));

    type(" news");  // the space is part of the search
    EXPECT_TRUE(rowTitles().empty());
    type("");
    EXPECT_EQ(rowTitles(), (std::vector<std::string>{"Sport", "Weather"}));
}

TEST_F(SidebarTest, ClickingARowLoadsItInTheActiveTabAndKeepsThePanel) {
    state->createBookmark("", "https://untitled.example/", std::nullopt, std::nullopt);
    state->createBookmark("Kept", "https://kept.example/", std::nullopt, std::nullopt);
    show(SidebarKind::bookmarks);
    EXPECT_EQ(rowTitles(), (std::vector<std::string>{"", "Kept"}));
    const auto tabID = state->activeTab()->id();

    clickRow(0);
    ASSERT_EQ(web_.loads.size(), 1u);
    EXPECT_EQ(web_.loads[0].tabID, tabID);
    EXPECT_EQ(web_.loads[0].address, "https://untitled.example/");

    type("kept");
    clickRow(0);
    ASSERT_EQ(web_.loads.size(), 2u);
    EXPECT_EQ(web_.loads[1].address, "https://kept.example/");
    EXPECT_EQ(state->sidebarKind.get(), SidebarKind::bookmarks);
    EXPECT_EQ(sidebar->search(), "kept");
}

TEST_F(SidebarTest, CloseHidesThePanelWithoutSavingAndForgetsTheSearch) {
    state->setSidebar(SidebarKind::history, true);  // saved, as the toolbar does
    settle();
    type("abc");
    click(sidebar->closeButton());
    EXPECT_EQ(state->sidebarKind.get(), SidebarKind::none);
    EXPECT_EQ(sidebar->search(), "");
    EXPECT_EQ(makeState()->profileData.get().settings.sidebarKind, SidebarKind::history);
    EXPECT_EQ(sidebar->closeButton().get_icon_name(), "window-close-symbolic");
}

TEST_F(SidebarTest, PanelIsFixedWidthWithItsOwnStyle) {
    state->addHistory(std::string(400, 'w'), "https://long.example/");
    show(SidebarKind::history);
    EXPECT_TRUE(sidebar->has_css_class(ChromeStyle::sidebar));
    EXPECT_EQ(sidebar->searchEntry().get_placeholder_text(), "Search");
    int minimum = 0, natural = 0, minBase = 0, natBase = 0;
    sidebar->measure(Gtk::Orientation::HORIZONTAL, -1, minimum, natural, minBase, natBase);
    EXPECT_EQ(minimum, 260);
    EXPECT_EQ(natural, 260);
}

TEST_F(SidebarTest, AFullHistoryMakesWidgetsOnlyForTheRowsOnScreen) {
    state->profileData.modify([](ProfileData& d) {
        for (int i = 0; i < 5000; ++i)
            d.history.push_back({.title = "Visit " + std::to_string(i), .url = "https://v.example/" + std::to_string(i)});
    });
    show(SidebarKind::history);
    ASSERT_TRUE(runUntil([&] {
        spin();
        return !drawnRows().empty();
    }));
    EXPECT_EQ(sidebar->rows().size(), 5000u);
    std::size_t made = 0;
    for (auto* row = sidebar->list().get_first_child(); row; row = row->get_next_sibling()) ++made;
    EXPECT_LT(made, 100u);

    // End takes the keyboard to the last entry, and Return loads it.
    sidebar->list().grab_focus();
    waitForFrame();  // as a person would, a moment after the focus came
    ASSERT_TRUE(runUntil([&] { return pressKey(sidebar->list(), GDK_KEY_End); }));
    ASSERT_TRUE(runUntil([&] {
        waitForFrame();
        const auto rows = drawnRows();
        return !rows.empty() && titleOf(rows.back()) == "Visit 4999";
    }));
    ASSERT_TRUE(pressKey(sidebar->list(), GDK_KEY_Return));
    ASSERT_TRUE(runUntil([&] {
        settle();
        return !web_.loads.empty();
    }));
    EXPECT_EQ(web_.loads.back().address, "https://v.example/4999");
}

TEST_F(SidebarTest, APanelOffScreenCatchesUpWhenShown) {
    show(SidebarKind::history);
    sidebar->set_visible(false);
    state->addHistory("Later", "https://later.example/");
    settle();
    EXPECT_TRUE(rowTitles().empty());
    sidebar->set_visible(true);
    settle();
    EXPECT_EQ(rowTitles(), (std::vector<std::string>{"Later"}));
}

}  // namespace
}  // namespace quorelle::testing
