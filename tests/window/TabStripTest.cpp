#include "window/TabStrip.h"

#include "web/ProductLogo.h"
#include "window/ChromeStyle.h"
#include "window/FaviconImageCache.h"
#include "window/QuorelleLogoCache.h"
#include "window/TabChip.h"
#include "window/ThemeEnvironment.h"
#include "window/WindowTestSupport.h"

#include <graphene.h>
#include <gtk/gtk.h>
#include <gtkmm/image.h>
#include <gtkmm/settings.h>

namespace quorelle::testing {
namespace {

class TabStripTest : public WindowStateTest {
protected:
    TabStripTest() : logo(std::string(ProductLogo::resourcePath)), images(logo) {}

    void SetUp() override {
        WindowStateTest::SetUp();
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
    EXPECT_TRUE(runUntil([&] { return inset() == 84 && strip->get_height() == 40; }));
    EXPECT_EQ(inset(), 84);
    EXPECT_EQ(strip->get_height(), 40);
    EXPECT_EQ(chip(0).get_height(), 32);
    EXPECT_EQ(strip->newTabButton().get_width(), 28);
    EXPECT_EQ(strip->newTabButton().get_height(), 28);
    EXPECT_EQ(chip(0).closeButton().get_width(), 18);
    EXPECT_EQ(chip(0).closeButton().get_height(), 18);
}

TEST_F(TabStripTest, EighteenTabsKeepTheirTitlesAndTheChosenChipScrollsIntoView) {
    ThemeEnvironment theme(state, *window);
    for (int i = 1; i < 18; ++i) state->newTab("https://site" + std::to_string(i) + ".example/");
    int page = 0;
    for (const auto& tab : state->tabs.get()) tab->title.set("Page " + std::to_string(++page) + " title");
    state->tabs.get().back()->title.set(std::string(300, 'w'));
    settle();
    ASSERT_EQ(strip->chips().size(), 18u);
    // Wholly inside the strip's visible part, once laid out (a chip just
    // added has no width until then).
    const auto inView = [&](Gtk::Widget& widget) {
        graphene_rect_t bounds{};
        if (!widget.get_mapped() || !gtk_widget_compute_bounds(widget.gobj(), GTK_WIDGET(strip->scroller().gobj()), &bounds))
            return false;
        return bounds.size.width > 0 && bounds.origin.x >= 0 &&
               bounds.origin.x + bounds.size.width <= strip->scroller().get_width();
    };
    // The new tab is the active one: its chip and the "+" after it show.
    EXPECT_TRUE(runUntil([&] { return inView(chip(17)) && inView(strip->newTabButton()); }));
    for (auto* each : strip->chips()) {
        const bool longTitle = each == &chip(17);
        EXPECT_EQ(each->titleLabel().get_layout()->is_ellipsized(), longTitle) << each->titleLabel().get_text();
    }
    EXPECT_EQ(chip(17).titleLabel().get_width(), 150);

    state->selectTab(tabAt(0));
    settle();
    EXPECT_TRUE(runUntil([&] { return inView(chip(0)); }));
    EXPECT_FALSE(inView(chip(17)));
}

// The widget as drawn now, and the box around its pixels that are at least
// half opaque.
struct Ink {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1, pixels = 0;
    int width() const { return right - left + 1; }
    int height() const { return bottom - top + 1; }
    std::vector<guint8> raw;
};
Ink inkOf(Gtk::Widget& widget) {
    auto paintable = gtk_widget_paintable_new(widget.gobj());
    const int w = widget.get_width(), h = widget.get_height();
    GtkSnapshot* snapshot = gtk_snapshot_new();
    gdk_paintable_snapshot(paintable, GDK_SNAPSHOT(snapshot), w, h);
    GskRenderNode* node = gtk_snapshot_free_to_node(snapshot);
    Ink ink;
    if (!node) return ink;
    const graphene_rect_t whole = GRAPHENE_RECT_INIT(0, 0, float(w), float(h));
    GdkTexture* texture = gsk_renderer_render_texture(gtk_native_get_renderer(widget.get_native()->gobj()), node, &whole);
    ink.raw.resize(std::size_t(w) * h * 4);
    gdk_texture_download(texture, ink.raw.data(), std::size_t(w) * 4);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (ink.raw[(std::size_t(y) * w + x) * 4 + 3] >= 0x80) {
                ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
                ++ink.pixels;
            }
    g_object_unref(texture);
    gsk_render_node_unref(node);
    g_object_unref(paintable);
    return ink;
}

// Lets the window draw a few frames, so that styles and layout are current.
void drawFrames(Gtk::Widget& widget) {
    int frames = 0;
    widget.add_tick_callback([&](const Glib::RefPtr<Gdk::FrameClock>&) { return ++frames < 3; });
    EXPECT_TRUE(runUntil([&] { return frames >= 3; }));
}

TEST_F(TabStripTest, CloseCrossAndPlusAreDrawnPlainlyInTheirSizesAndColours) {
    Gtk::Settings::get_default()->property_gtk_enable_animations() = false;
    state->profileData.modify([](ProfileData& data) {
        data.theme.colors.inactiveTab = "#ff0000";
        data.theme.colors.mutedText = "#00ff00";
    });
    ThemeEnvironment theme(state, *window);
    settle();
    drawFrames(*window);

    // An 8-point bold cross in the middle of the 18-point close button...
    auto& close = chip(0).closeButton();
    const auto cross = inkOf(close);
    EXPECT_EQ(cross.width(), 8);
    EXPECT_EQ(cross.height(), 8);
    EXPECT_EQ(cross.left, 5);
    EXPECT_EQ(cross.top, 5);
    EXPECT_GE(cross.pixels, 24);
    // ...which looks the same under the pointer.
    close.set_state_flags(Gtk::StateFlags::PRELIGHT, false);
    drawFrames(*window);
    EXPECT_TRUE(inkOf(close).raw == cross.raw);

    // The 13-point "+" over a practically invisible fill of the inactive
    // tabs' colour (bytes: blue, green, red, alpha; premultiplied).
    auto* glyph = dynamic_cast<Gtk::Image*>(strip->newTabButton().get_child());
    ASSERT_NE(glyph, nullptr);
    EXPECT_EQ(glyph->get_pixel_size(), 13);
    const auto plus = inkOf(strip->newTabButton());
    const guint8* fill = &plus.raw[(2 * std::size_t(strip->newTabButton().get_width()) + 14) * 4];
    EXPECT_EQ(fill[0], 0);
    EXPECT_EQ(fill[1], 0);
    EXPECT_GT(fill[2], 0);
    EXPECT_LT(fill[3], 8);
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
