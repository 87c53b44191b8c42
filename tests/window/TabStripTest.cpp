#include "window/TabStrip.h"

#include "web/ProductLogo.h"
#include "window/ChromeStyle.h"
#include "window/FaviconImageCache.h"
#include "window/QuorelleLogoCache.h"
#include "window/TabChip.h"
#include "window/ThemeEnvironment.h"
#include "window/WindowTestSupport.h"

#include <graphene.h>

namespace quorelle::testing {
namespace {

class TabStripTest : public WindowTest {
protected:
    TabStripTest() : logo(std::string(ProductLogo::resourcePath)), images(logo) {}

    void SetUp() override {
        state = makeState();
        drain();
        strip = std::make_unique<TabStrip>(state, images);
        window = &showInWindow(*strip);
    }
    void TearDown() override {
        if (window_) window_->unset_child();
        strip.reset();
    }

    std::vector<Uuid> chipIDs() const {
        std::vector<Uuid> ids;
        for (auto* chip : strip->chips()) ids.push_back(chip->tab()->id());
        return ids;
    }
    std::vector<Uuid> visibleStateIDs() const {
        std::vector<Uuid> ids;
        for (const auto& tab : TabStrip::visibleTabs(*state)) ids.push_back(tab->id());
        return ids;
    }
    TabChip& chip(std::size_t index) { return *strip->chips().at(index); }
    AppState::TabPtr tabAt(std::size_t index) const { return state->tabs.get().at(index); }
    void act(TabChip& target, const char* action) {
        target.actions()->activate_action(action);
        settle();
    }
    // A click released at a point of the chip, given in the chip's own coordinates.
    void release(TabChip& target, double x, double y) {
        g_signal_emit_by_name(target.primaryClick()->gobj(), "released", 1, x, y);
        settle();
    }
    // The centre of `widget` in the chip's coordinates.
    static graphene_point_t centreIn(Gtk::Widget& widget, TabChip& target) {
        graphene_point_t centre{static_cast<float>(widget.get_width()) / 2,
                                static_cast<float>(widget.get_height()) / 2};
        graphene_point_t out{};
        EXPECT_TRUE(gtk_widget_compute_point(widget.gobj(), GTK_WIDGET(target.gobj()), &centre, &out));
        return out;
    }
    void openThreeTabs() {
        state->newTab("https://b.example/");
        state->newTab("https://c.example/");
        settle();
    }

    QuorelleLogoCache logo;
    FaviconImageCache images;
    std::shared_ptr<AppState> state;
    std::unique_ptr<TabStrip> strip;
    Gtk::Window* window = nullptr;
};

TEST_F(TabStripTest, ChipsFollowTheTabsInOrderWithThePlusButtonLast) {
    ASSERT_EQ(state->tabs.get().size(), 1u);
    EXPECT_EQ(chipIDs(), visibleStateIDs());
    openThreeTabs();
    EXPECT_EQ(chipIDs().size(), 3u);
    EXPECT_EQ(chipIDs(), visibleStateIDs());
    auto* row = strip->newTabButton().get_parent();
    EXPECT_EQ(row->get_last_child(), &strip->newTabButton());
    EXPECT_EQ(strip->newTabButton().get_icon_name(), "list-add-symbolic");
    EXPECT_EQ(strip->scroller().property_hscrollbar_policy().get_value(), Gtk::PolicyType::EXTERNAL);
    EXPECT_TRUE(strip->has_css_class(ChromeStyle::tabStrip));
}

TEST_F(TabStripTest, PlusButtonOpensAndSelectsAFreshTab) {
    g_signal_emit_by_name(strip->newTabButton().gobj(), "clicked");
    settle();
    ASSERT_EQ(state->tabs.get().size(), 2u);
    EXPECT_EQ(state->activeTabID.get(), tabAt(1)->id());
    EXPECT_EQ(tabAt(1)->urlString.get(), "vx://newtab");
    EXPECT_EQ(chipIDs(), visibleStateIDs());
}

TEST_F(TabStripTest, ClickingAChipSelectsItsTabButNotOnTheCloseButton) {
    openThreeTabs();
    TabChip& first = chip(0);
    const auto onTitle = centreIn(first.favicon(), first);
    release(first, onTitle.x, onTitle.y);
    EXPECT_EQ(state->activeTabID.get(), tabAt(0)->id());

    TabChip& second = chip(1);
    const auto onClose = centreIn(second.closeButton(), second);
    release(second, onClose.x, onClose.y);
    EXPECT_EQ(state->activeTabID.get(), tabAt(0)->id());
    release(second, -5, -5);  // released outside the chip
    EXPECT_EQ(state->activeTabID.get(), tabAt(0)->id());
}

TEST_F(TabStripTest, CloseButtonClosesOnlyThatTabWithoutSelectingIt) {
    openThreeTabs();
    const auto closing = tabAt(0)->id();
    const auto active = state->activeTabID.get();
    g_signal_emit_by_name(chip(0).closeButton().gobj(), "clicked");
    settle();
    ASSERT_EQ(state->tabs.get().size(), 2u);
    EXPECT_EQ(state->activeTabID.get(), active);
    EXPECT_EQ(strip->chipFor(closing), nullptr);
    EXPECT_EQ(chipIDs(), visibleStateIDs());
}

TEST_F(TabStripTest, ClosingTheOnlyTabKeepsItsChipOnTheNewTabPage) {
    state->navigateActive("https://a.example/");
    settle();
    chip(0).actions()->activate_action("close");
    settle();
    ASSERT_EQ(strip->chips().size(), 1u);
    EXPECT_EQ(tabAt(0)->urlString.get(), "vx://newtab");
}

TEST_F(TabStripTest, MenuOffersSixTabCommandsAndPinReadsUnpinForAPinnedTab) {
    openThreeTabs();
    const auto labels = [](const Glib::RefPtr<Gio::MenuModel>& model) {
        std::vector<std::string> out;
        for (int i = 0; i < model->get_n_items(); ++i) {
            const auto label =
                model->get_item_attribute(i, Gio::MenuModel::Attribute::LABEL, Glib::VARIANT_TYPE_STRING);
            out.push_back(Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(label).get());
        }
        return out;
    };
    TabChip& last = chip(2);
    EXPECT_EQ(labels(last.contextMenuModel()), (std::vector<std::string>{"Close", "Duplicate", "Pin", "Reload",
                                                                         "New Tab to Right", "New Tab to Left"}));
    const auto pinned = last.tab();
    const auto lookBefore = last.get_css_classes();
    act(last, "pin");
    EXPECT_TRUE(pinned->isPinned.get());
    EXPECT_EQ(tabAt(0), pinned);
    ASSERT_EQ(chipIDs(), visibleStateIDs());
    EXPECT_EQ(&chip(0), &last);  // the same chip, moved to the front
    EXPECT_EQ(labels(last.contextMenuModel())[2], "Unpin");
    EXPECT_EQ(last.get_css_classes(), lookBefore);  // pinning changes nothing of the chip's look
    act(last, "pin");
    EXPECT_FALSE(pinned->isPinned.get());
    EXPECT_EQ(labels(last.contextMenuModel())[2], "Pin");
}

TEST_F(TabStripTest, MenuDuplicatesReloadsAndOpensNeighbours) {
    openThreeTabs();
    const auto middle = tabAt(1);
    act(chip(1), "duplicate");
    ASSERT_EQ(state->tabs.get().size(), 4u);
    EXPECT_EQ(tabAt(3)->urlString.get(), middle->urlString.get());
    EXPECT_EQ(state->activeTabID.get(), tabAt(3)->id());

    act(*strip->chipFor(middle->id()), "reload");
    EXPECT_EQ(web_.reloads, std::vector<Uuid>{middle->id()});

    act(*strip->chipFor(middle->id()), "new-right");
    EXPECT_EQ(tabAt(2)->urlString.get(), "vx://newtab");
    EXPECT_EQ(state->activeTabID.get(), tabAt(2)->id());

    const auto first = tabAt(0);
    act(*strip->chipFor(first->id()), "new-left");
    ASSERT_EQ(state->tabs.get().size(), 6u);
    EXPECT_NE(tabAt(0), first);
    EXPECT_EQ(tabAt(1), first);
    EXPECT_EQ(chipIDs(), visibleStateIDs());
    EXPECT_EQ(chip(0).tab(), tabAt(0));

    act(*strip->chipFor(first->id()), "close");
    EXPECT_EQ(strip->chipFor(first->id()), nullptr);
    EXPECT_EQ(chipIDs(), visibleStateIDs());
}

TEST_F(TabStripTest, SecondaryClickPopsUpTheMenuAtTheChip) {
    TabChip& only = chip(0);
    EXPECT_EQ(only.contextMenu().get_parent(), &only);
    g_signal_emit_by_name(only.secondaryClick()->gobj(), "pressed", 1, 10.0, 10.0);
    spin();
    EXPECT_TRUE(only.contextMenu().get_visible());
    only.contextMenu().popdown();
    spin();
}

TEST_F(TabStripTest, OnlyTheActiveTabsChipWearsTheActiveStyle) {
    openThreeTabs();
    const auto activeFlags = [&] {
        std::vector<bool> flags;
        for (auto* c : strip->chips()) {
            EXPECT_EQ(c->isActive(), c->has_css_class(ChromeStyle::activeTab));
            flags.push_back(c->has_css_class(ChromeStyle::activeTab));
        }
        return flags;
    };
    EXPECT_EQ(activeFlags(), (std::vector<bool>{false, false, true}));
    state->selectTab(tabAt(0));
    settle();
    EXPECT_EQ(activeFlags(), (std::vector<bool>{true, false, false}));
    state->activeTabID.set(std::nullopt);
    settle();
    EXPECT_EQ(activeFlags(), (std::vector<bool>{false, false, false}));
    for (auto* c : strip->chips()) EXPECT_TRUE(c->has_css_class(ChromeStyle::tab));
}

TEST_F(TabStripTest, ChipFollowsItsTabsTitleAndIcon) {
    auto tab = tabAt(0);
    TabChip& only = chip(0);
    EXPECT_EQ(only.titleLabel().get_text().raw(), tab->title.get());
    EXPECT_EQ(only.favicon().content(), FaviconView::Content::logo);  // the new-tab page is internal
    EXPECT_EQ(only.favicon().size(), 16);

    tab->title.set("Example Domain");
    tab->isInternal.set(false);
    tab->faviconURL.set(std::nullopt);
    tab->faviconLetter.set("E");
    spin();
    EXPECT_NE(only.titleLabel().get_text().raw(), "Example Domain");  // redrawn on the main queue only
    settle();
    EXPECT_EQ(only.titleLabel().get_text().raw(), "Example Domain");
    EXPECT_EQ(only.favicon().content(), FaviconView::Content::badge);
    EXPECT_EQ(only.favicon().badge().get_text(), "E");

    tab->title.set(std::string(300, 'w'));
    settle();
    EXPECT_LE(only.titleLabel().get_width(), 150);
    EXPECT_EQ(only.titleLabel().get_ellipsize(), Pango::EllipsizeMode::END);
    EXPECT_TRUE(only.titleLabel().get_single_line_mode());

    tab->title.set("");
    settle();
    EXPECT_FALSE(only.titleLabel().get_visible());
    EXPECT_TRUE(only.closeButton().get_visible());
}

TEST_F(TabStripTest, TabsOfCollapsedGroupsHaveNoChipAndGroupsColourTheirChips) {
    openThreeTabs();
    TabGroup open{Uuid::random(), "Work", TabGroupColor::red, {}, false};
    TabGroup shut{Uuid::random(), "Later", TabGroupColor::green, {}, true};
    state->profileData.modify([&](ProfileData& d) { d.tabGroups = {open, shut}; });
    tabAt(0)->groupID.set(open.id);
    tabAt(1)->groupID.set(Uuid::random());  // names no group
    tabAt(2)->groupID.set(shut.id);         // the active tab
    settle();

    EXPECT_EQ(chipIDs(), (std::vector<Uuid>{tabAt(0)->id(), tabAt(1)->id()}));
    EXPECT_EQ(state->activeTabID.get(), tabAt(2)->id());
    for (auto* c : strip->chips()) EXPECT_FALSE(c->isActive());
    EXPECT_EQ(chip(0).groupColor(), Color::fromHex(TabGroupColor(TabGroupColor::red).colorHex()));
    EXPECT_EQ(chip(1).groupColor(), std::nullopt);

    // A group's own member list does not decide; the tab's group id does.
    state->profileData.modify([&](ProfileData& d) {
        d.tabGroups[1].isCollapsed = false;
        d.tabGroups[0].tabIDs = {tabAt(1)->id()};
    });
    settle();
    EXPECT_EQ(chipIDs(), visibleStateIDs());
    EXPECT_EQ(chipIDs().size(), 3u);
    EXPECT_EQ(chip(1).groupColor(), std::nullopt);
    EXPECT_TRUE(chip(2).isActive());
}

TEST_F(TabStripTest, StripIsFortyHighWithTheLeadingInsetFromTheWindowStyle) {
    ThemeEnvironment theme(state, *window);
    strip->set_valign(Gtk::Align::START);  // as in the window's column
    // The padding belongs to the strip's box; the scrolling row gets the rest.
    const auto inset = [&] { return strip->get_allocation().get_width() - strip->scroller().get_width(); };
    EXPECT_TRUE(
        runUntil([&] { return inset() == 84 && strip->get_height() == 40; }, std::chrono::milliseconds(1000)));
    EXPECT_EQ(inset(), 84);
    EXPECT_EQ(strip->get_height(), 40);
    EXPECT_EQ(chip(0).get_height(), 32);
    EXPECT_EQ(strip->newTabButton().get_width(), 28);
    EXPECT_EQ(strip->newTabButton().get_height(), 28);
    EXPECT_EQ(chip(0).closeButton().get_width(), 18);
    EXPECT_EQ(chip(0).closeButton().get_height(), 18);
}

TEST_F(TabStripTest, ReplacedTabsGetFreshChipsAndTheStripOutlivesNoAnnouncement) {
    auto replacement = std::make_shared<BrowserTab>();
    state->tabs.set({replacement});
    state->activeTabID.set(replacement->id());
    settle();
    ASSERT_EQ(strip->chips().size(), 1u);
    EXPECT_EQ(chip(0).tab(), replacement);
    EXPECT_TRUE(chip(0).isActive());

    replacement->title.set("pending");
    state->newTab();
    ASSERT_GT(queue_->pending(), 0u);  // a redraw waits on the queue
    window_->unset_child();
    strip.reset();
    // The redraw finds no strip; a touch of the freed one is caught by the
    // sanitizer build (scripts/test --sanitize).
    drain();
    EXPECT_EQ(queue_->pending(), 0u);
}

}  // namespace
}  // namespace quorelle::testing
