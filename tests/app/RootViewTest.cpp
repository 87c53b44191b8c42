#include "app/AppTestSupport.h"

#include <gtkmm/label.h>

namespace quorelle::testing {
namespace {

class RootViewTest : public AppTest {
protected:
    RootView& root() { return mainWindow().rootView(); }
    std::optional<std::string> toast() const { return state->toastMessage.get(); }
};

TEST_F(RootViewTest, ToastShowsTheMessageAndClearsItselfAfterItsDuration) {
    state->toastMessage.set("Bookmark added");
    settle();
    EXPECT_TRUE(root().toastPresent());
    EXPECT_TRUE(root().toast().get_reveal_child());
    EXPECT_EQ(root().toastLabel().get_text(), "Bookmark added");

    ASSERT_TRUE(runUntil([&] { return !toast().has_value(); }, 3000));
    settle();
    EXPECT_FALSE(root().toastPresent());
    EXPECT_FALSE(root().toast().get_reveal_child());
}

// A replacement goes with the clearing the first message scheduled; only a
// message shown on an empty toast schedules one. Timers never fire early, so
// however slow the machine, a message's own clearing comes at least a
// duration after it was set.
TEST_F(RootViewTest, ToastReplacedWhileShowingGoesWithTheFirstClearing) {
    using Clock = std::chrono::steady_clock;
    const auto first = Clock::now();
    state->toastMessage.set("first");
    settle();
    state->toastMessage.set("<b>second</b>");
    settle();
    EXPECT_EQ(root().toastLabel().get_text(), "<b>second</b>");  // shown verbatim
    ASSERT_TRUE(runUntil([&] { return !toast().has_value(); }, 10000));
    EXPECT_GE(Clock::now() - first, toastDuration);

    // Had the replacement scheduled a clearing too, it would take this
    // message a moment after it appears.
    const auto third = Clock::now();
    state->toastMessage.set("third");
    settle();
    ASSERT_TRUE(runUntil([&] { return !toast().has_value(); }, 10000));
    EXPECT_GE(Clock::now() - third, toastDuration);
}

TEST_F(RootViewTest, ToastClearedEarlyGoesAtOnceAndTheLateClearingTakesAnyNewMessage) {
    state->toastMessage.set("first");
    settle();
    state->toastMessage.set(std::nullopt);
    settle();
    EXPECT_FALSE(root().toastPresent());
    EXPECT_FALSE(root().toast().get_reveal_child());

    // A new message in between gets its own clearing, but the first one,
    // still pending, clears it early.
    state->toastMessage.set("second");
    settle();
    EXPECT_TRUE(root().toastPresent());
    ASSERT_TRUE(runUntil([&] { return !toast().has_value(); }, 3000));
}

TEST_F(RootViewTest, GuestBadgeLetsClicksThroughToTheToolbarBeneath) {
    auto& guest = app->openGuestWindow();
    ASSERT_TRUE(runUntil([&] { return guest.rootView().guestBadge().get_width() > 0; }));
    auto& root = guest.rootView();
    auto& badge = root.guestBadge();
    EXPECT_EQ(badge.get_text(), "Guest");
    EXPECT_FALSE(badge.get_can_target());

    // The text sits inside its capsule's padding (4 above, 8 either side);
    // the capsule is 8 below the top and 12 from the right.
    const auto bounds = boundsIn(badge, root);
    EXPECT_NEAR(bounds.y - 4, 8, 1);
    EXPECT_NEAR(root.get_width() - (bounds.x + bounds.width + 8), 12, 1);
    const double x = bounds.x + bounds.width / 2;
    const double y = bounds.y + bounds.height / 2;
    Gtk::Widget* picked = root.pick(x, y);
    ASSERT_NE(picked, nullptr);
    for (auto* w = picked; w; w = w->get_parent()) EXPECT_NE(w, &badge);
}

TEST_F(RootViewTest, CardsFollowTheirStateAndStackInTheirFixedOrder) {
    int made = 0;
    for (auto layer : {CardLayer::newBookmark, CardLayer::inspectorPanel})
        root().setCardFactory(layer, [&made](AppState&) {
            ++made;
            return std::make_unique<Gtk::Label>("card");
        });
    EXPECT_FALSE(root().cardSlot(CardLayer::newBookmark).get_visible());

    state->showNewBookmarkSheet.set(true);
    state->showInspectorPanel.set(true);
    settle();
    EXPECT_NE(root().presentedCard(CardLayer::newBookmark), nullptr);
    EXPECT_NE(root().presentedCard(CardLayer::inspectorPanel), nullptr);
    EXPECT_TRUE(root().cardSlot(CardLayer::newBookmark).get_visible());
    // Later overlay children draw above earlier ones.
    int newBookmarkAt = -1, inspectorAt = -1, toastAt = -1, i = 0;
    for (auto* c = root().get_first_child(); c; c = c->get_next_sibling(), ++i) {
        if (c == &root().cardSlot(CardLayer::newBookmark)) newBookmarkAt = i;
        if (c == &root().cardSlot(CardLayer::inspectorPanel)) inspectorAt = i;
        if (c == &root().toast()) toastAt = i;
    }
    EXPECT_LT(newBookmarkAt, inspectorAt);
    EXPECT_LT(inspectorAt, toastAt);

    // The inspector panel is 560 x 480 and centred.
    auto& panel = root().cardSlot(CardLayer::inspectorPanel);
    ASSERT_TRUE(runUntil([&] { return panel.get_width() > 0; }));
    const auto bounds = boundsIn(panel, root());
    EXPECT_EQ(bounds.width, 560);
    EXPECT_EQ(bounds.height, 480);
    EXPECT_NEAR(bounds.x + 280, root().get_width() / 2.0, 1);
    EXPECT_NEAR(bounds.y + 240, root().get_height() / 2.0, 1);

    // Closing drops the card; presenting again makes a fresh one.
    state->showNewBookmarkSheet.set(false);
    settle();
    EXPECT_EQ(root().presentedCard(CardLayer::newBookmark), nullptr);
    EXPECT_FALSE(root().cardSlot(CardLayer::newBookmark).get_visible());
    state->showNewBookmarkSheet.set(true);
    settle();
    EXPECT_EQ(made, 3);
}

TEST_F(RootViewTest, BookmarkEditDismissKeepsTheBookmarkWhileDeleteRemovesIt) {
    state->createBookmark("Example", server.url("/a"), std::nullopt, std::nullopt);
    const Bookmark bookmark = state->profileData.get().bookmarks.front();

    state->editingBookmark.set(bookmark);
    EXPECT_TRUE(RootView::bookmarkEditPresented(*state));
    RootView::setBookmarkEditPresented(*state, true);  // changes nothing
    EXPECT_EQ(RootView::editedBookmark(*state).id, bookmark.id);
    RootView::setBookmarkEditPresented(*state, false);
    EXPECT_FALSE(state->editingBookmark.get().has_value());
    EXPECT_EQ(state->profileData.get().bookmarks.size(), 1u);
    EXPECT_EQ(RootView::editedBookmark(*state).title, "");  // blank while taken down

    state->editingBookmark.set(bookmark);
    RootView::deleteEditedBookmark(*state);
    EXPECT_FALSE(state->editingBookmark.get().has_value());
    EXPECT_TRUE(state->profileData.get().bookmarks.empty());
}

}  // namespace
}  // namespace quorelle::testing
