#include "app/AppTestSupport.h"
#include "model/GLibPtr.h"
#include "model/ThemePreset.h"
#include "support/Contrast.h"
#include "support/RealInput.h"

#include <gtkmm/eventcontrollerlegacy.h>
#include <gtkmm/label.h>
#include <gtkmm/settings.h>

#include <sstream>

namespace quorelle::testing {
namespace {

// A widget's pixels as drawn now over a page of one colour, its padding and
// border included: (0, 0) is the top left corner of its border box.
struct Drawn {
    int width = 0, height = 0;
    std::vector<guint8> bgra;  // opaque, so premultiplying changes nothing
    RGB at(int x, int y) const {
        const guint8* pixel = &bgra[(std::size_t(y) * width + x) * 4];
        return {double(pixel[2]), double(pixel[1]), double(pixel[0])};
    }
};

Drawn drawnOver(Gtk::Widget& widget, const RGB& page) {
    // The widget's paintable is the size of its border box and draws it from its own top left corner.
    auto paintable = GObjectPtr<GdkPaintable>::adopt(gtk_widget_paintable_new(widget.gobj()));
    Drawn drawn{gdk_paintable_get_intrinsic_width(paintable.get()), gdk_paintable_get_intrinsic_height(paintable.get()), {}};
    const graphene_rect_t whole = GRAPHENE_RECT_INIT(0, 0, float(drawn.width), float(drawn.height));
    const GdkRGBA pageColor{float(page.r / 255), float(page.g / 255), float(page.b / 255), 1};
    GtkSnapshot* snapshot = gtk_snapshot_new();
    gtk_snapshot_append_color(snapshot, &pageColor, &whole);
    gdk_paintable_snapshot(paintable.get(), GDK_SNAPSHOT(snapshot), drawn.width, drawn.height);
    const GLibPtr<GskRenderNode, gsk_render_node_unref> node(gtk_snapshot_free_to_node(snapshot));
    GskRenderer* renderer = gtk_native_get_renderer(widget.get_native()->gobj());
    auto texture = GObjectPtr<GdkTexture>::adopt(gsk_renderer_render_texture(renderer, node.get(), &whole));
    drawn.bgra.resize(std::size_t(drawn.width) * drawn.height * 4);
    gdk_texture_download(texture.get(), drawn.bgra.data(), std::size_t(drawn.width) * 4);
    return drawn;
}

class RootViewTest : public AppTest {
protected:
    RootView& root() { return mainWindow().rootView(); }
    std::optional<std::string> toast() const { return state->toastMessage.get(); }

    // Shows `message` and lets the window draw it a few times in the current
    // theme. The toast clears itself soon, so it is shown again until it
    // has stayed up that long.
    void drawToast(const std::string& message) {
        int frames = 0;
        const guint tick = root().add_tick_callback([&](const Glib::RefPtr<Gdk::FrameClock>&) {
            ++frames;
            return true;
        });
        ASSERT_TRUE(runUntil([&] {
            if (!toast()) {
                state->toastMessage.set(message);
                frames = 0;
            }
            return frames >= 3 && root().toastPresent() && root().toastLabel().get_mapped() &&
                   root().toastLabel().get_width() > 0;
        }));
        root().remove_tick_callback(tick);
    }

    // Opens, in the active tab, a page that notes in its title where each
    // click it gets lands: "clicks x,y x,y ...".
    void openClickRecorder() {
        server.addHTML("/clicks",
                       "<html><head><title>clicks</title></head><body style='margin:0;height:100vh'><script>"
                       "addEventListener('click', e => { document.title += ' ' + e.clientX + ',' + e.clientY; });"
                       "</script></body></html>");
        state->navigateActive(server.url("/clicks"));
        ASSERT_TRUE(runUntil([&] { return shownPageLoaded() && pageTitle() == "clicks"; }));
    }
    Gtk::Widget& page() { return *Glib::wrap(mainWindow().browserView().tabContent().webTabView().shownView()); }
    std::string pageTitle() {
        const char* title = webkit_web_view_get_title(WEBKIT_WEB_VIEW(page().gobj()));
        return title ? title : "";
    }
    // Where the page's clicks landed, in page coordinates, in order.
    std::vector<std::pair<int, int>> pageClicks() {
        std::vector<std::pair<int, int>> clicks;
        std::istringstream words(pageTitle());
        std::string word;
        words >> word;  // "clicks"
        int x = 0, y = 0;
        char comma = 0;
        while (words >> x >> comma >> y) clicks.emplace_back(x, y);
        return clicks;
    }

    // Clicks at (x, y) of the root view: true when the press went to the
    // page (the toolkit picks its target as it arrives) and the page got the
    // click where it was made.
    bool clickReachesPage(double x, double y) {
        double pageX = 0, pageY = 0;
        root().translate_coordinates(page(), x, y, pageX, pageY);
        const std::size_t before = pageClicks().size();
        std::optional<bool> toPage;
        auto arrivals = Gtk::EventControllerLegacy::create();
        arrivals->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
        arrivals->signal_event().connect(
            [&](const Glib::RefPtr<const Gdk::Event>& event) {
                if (event->get_event_type() == Gdk::Event::Type::BUTTON_PRESS) toPage = picks(x, y, page());
                return false;
            },
            false);
        root().add_controller(arrivals);
        EXPECT_TRUE(runUntil([&] { return clickWidgetAt(root(), x, y); }));
        EXPECT_TRUE(runUntil([&] { return toPage.has_value(); }));
        root().remove_controller(arrivals);
        if (!toPage.value_or(false)) return false;
        EXPECT_TRUE(runUntil([&] { return pageClicks().size() > before; }));
        const auto clicks = pageClicks();
        return clicks.size() == before + 1 && std::abs(clicks[before].first - pageX) <= 1 &&
               std::abs(clicks[before].second - pageY) <= 1;
    }
    // Whether the point (x, y) of the root view lies on `widget` or inside it.
    bool picks(double x, double y, Gtk::Widget& widget) {
        Gtk::Widget* picked = root().pick(x, y);
        return picked && (picked == &widget || picked->is_ancestor(widget));
    }
};

// Over a white page and a black page, in every preset, the toast's text
// stands out from its own fill by 4.5:1, and its outline (fill or ring)
// stands out from the page by 3:1, so it reads as a capsule of its own.
TEST_F(RootViewTest, ToastIsReadableAndOutlinedOverAnyPageInEveryPreset) {
    auto settings = Gtk::Settings::get_default();
    const bool animations = settings->property_gtk_enable_animations();
    settings->property_gtk_enable_animations() = false;
    const RGB white{255, 255, 255}, black{0, 0, 0};
    for (const ThemePreset& preset : ThemePreset::all()) {
        state->applyPreset(preset);
        drawToast("Couldn't save your browsing data: No space left on device");
        if (HasFatalFailure()) break;
        Gtk::Label& label = root().toastLabel();
        const Gdk::RGBA ink = label.get_style_context()->get_color();
        const RGB text{ink.get_red() * 255, ink.get_green() * 255, ink.get_blue() * 255};
        for (const RGB& page : {white, black}) {
            SCOPED_TRACE(preset.id + (page.r > 0 ? " over white" : " over black"));
            const Drawn drawn = drawnOver(label, page);
            const int middle = drawn.height / 2;
            // Above the text, within the top padding.
            const RGB fill = drawn.at(drawn.width / 2, 4);
            EXPECT_GE(contrast(text, fill), 4.5);
            double outline = 0;
            for (int x = 0; x < 4; ++x) outline = std::max(outline, contrast(drawn.at(x, middle), page));
            EXPECT_GE(outline, 3.0);
        }
    }
    settings->property_gtk_enable_animations() = animations;
    // The last toast's clearing has run: no timer outlives the case.
    EXPECT_TRUE(runUntil([&] { return !toast() && !root().toastPresent(); }));
}

// The toast is put up by the browser's main queue; its clearing needs the
// main loop. Checked between the two, it is there however slow the machine.
TEST_F(RootViewTest, ToastShowsTheMessageAndClearsItselfAfterItsDuration) {
    state->toastMessage.set("Bookmark added");
    queue.drain();
    EXPECT_TRUE(root().toastPresent());
    EXPECT_TRUE(root().toast().get_reveal_child());
    EXPECT_EQ(root().toastLabel().get_text(), "Bookmark added");

    ASSERT_TRUE(runUntil([&] { return !toast().has_value(); }));
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
    ASSERT_TRUE(runUntil([&] { return !toast().has_value(); }));
    EXPECT_GE(Clock::now() - first, toastDuration);

    // Had the replacement scheduled a clearing too, it would take this
    // message a moment after it appears.
    const auto third = Clock::now();
    state->toastMessage.set("third");
    settle();
    ASSERT_TRUE(runUntil([&] { return !toast().has_value(); }));
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
    queue.drain();
    EXPECT_TRUE(root().toastPresent());
    ASSERT_TRUE(runUntil([&] { return !toast().has_value(); }));
    // The second message's own clearing comes later still, and finds
    // nothing to clear.
    ASSERT_TRUE(runUntil([&] { return root().pendingToastClearings() == 0; }));
    EXPECT_FALSE(toast().has_value());
    EXPECT_FALSE(root().toastPresent());
}

// The toast stands centred, 24 above the bottom edge, over the page. Hidden,
// before any message and after one, it lets every click through to the
// page; shown, it takes those on its capsule only, not its corners.
TEST_F(RootViewTest, OnlyTheShownToastsCapsuleTakesClicksMeantForThePage) {
    openClickRecorder();
    if (HasFatalFailure()) return;
    const double middle = root().get_width() / 2.0, row = root().get_height() - 24 - 16;
    EXPECT_TRUE(clickReachesPage(middle, row));

    drawToast("Couldn't save your browsing data: No space left on device");
    if (HasFatalFailure()) return;
    // The revealer is as large as the message's capsule, padding included.
    const auto capsule = boundsIn(root().toast(), root());
    EXPECT_NEAR(capsule.x + capsule.width / 2, middle, 1);
    EXPECT_NEAR(capsule.y + capsule.height, root().get_height() - 24, 1);
    EXPECT_TRUE(picks(middle, capsule.y + capsule.height / 2, root().toastLabel()));
    for (const auto& [x, y] : {std::pair(capsule.x + 1, capsule.y + 1),
                               std::pair(capsule.x + capsule.width - 2, capsule.y + capsule.height - 2),
                               std::pair(capsule.x - 2, capsule.y + capsule.height / 2)})
        EXPECT_TRUE(picks(x, y, page())) << x << "," << y;

    // Taken down, across where the last message stood.
    ASSERT_TRUE(runUntil([&] { return !toast() && root().pendingToastClearings() == 0; }));
    const double y = capsule.y + capsule.height / 2;
    for (double x : {middle, capsule.x + capsule.width / 4, capsule.x + 4}) EXPECT_TRUE(clickReachesPage(x, y)) << x;
}

// A card covers the page only where it stands: beside the login prompt and
// the bookmark sheet, and around the inspector, the page takes the clicks.
TEST_F(RootViewTest, ACardTakesOnlyTheClicksOnItself) {
    openClickRecorder();
    if (HasFatalFailure()) return;
    auto besideCard = [&](CardLayer layer) {
        Gtk::Widget* card = nullptr;
        EXPECT_TRUE(runUntil([&] {
            card = root().presentedCard(layer);
            return card && card->get_mapped() && card->get_width() > 0;
        }));
        if (!card) return;
        settle();
        const auto bounds = boundsIn(*card, root());
        const double y = bounds.y + std::min(bounds.height, root().get_height() - bounds.y - 24) / 2;
        EXPECT_TRUE(picks(bounds.x + bounds.width / 2, y, *card)) << RootView::cardName(layer);
        EXPECT_TRUE(clickReachesPage(bounds.x / 2, y)) << RootView::cardName(layer);
        EXPECT_TRUE(clickReachesPage((bounds.x + bounds.width + root().get_width()) / 2, y))
            << RootView::cardName(layer);
    };
    state->showPasswordSavePrompt.set(PasswordSavePrompt("a.example", "ada", "secret", "https://a.example/"));
    besideCard(CardLayer::passwordSavePrompt);
    state->showPasswordSavePrompt.set(std::nullopt);
    state->showNewBookmarkSheet.set(true);
    besideCard(CardLayer::newBookmark);
    state->showNewBookmarkSheet.set(false);
    state->showInspectorPanel.set(true);
    besideCard(CardLayer::inspectorPanel);
    state->showInspectorPanel.set(false);
    settle();
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
