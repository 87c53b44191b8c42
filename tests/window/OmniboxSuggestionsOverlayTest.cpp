#include "window/OmniboxSuggestionsOverlay.h"

#include "window/OmniboxField.h"
#include "window/WindowTestSupport.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/overlay.h>

namespace quorelle::testing {
namespace {

using List = std::vector<std::string>;

// The field and the overlay as the window layout wires them: the overlay
// floats above the column holding the field and follows its focus flag.
class OmniboxSuggestionsOverlayTest : public WindowStateTest {
protected:
    void SetUp() override {
        WindowStateTest::SetUp();
        state->profileData.modify([](ProfileData& d) {
            d.history.push_back(HistoryItem{.title = "Example Domain", .url = "https://example.com/"});
            d.history.push_back(HistoryItem{.title = "Docs", .url = "https://docs.example.org/guide"});
            d.bookmarks.push_back(Bookmark{.title = "Example bookmark", .url = "https://example.com/"});
        });
        field = std::make_unique<OmniboxField>(state);
        overlay = std::make_unique<OmniboxSuggestionsOverlay>(state, field->isFocused());
        field->signalFocusChanged().connect(sigc::mem_fun(*overlay, &OmniboxSuggestionsOverlay::setFocused));
        column.append(*field);
        column.append(elsewhere);
        root.set_child(column);
        root.add_overlay(*overlay);
        showInWindow(root);
        focusElsewhere();
        web_.loads.clear();
    }
    void TearDown() override {
        if (window_) window_->unset_child();
        root.remove_overlay(*overlay);
        overlay.reset();
        column.remove(*field);
        field.reset();
    }
    void focusField() {
        field->focus();
        settle();
    }
    void focusElsewhere() {
        elsewhere.grab_focus();
        settle();
    }
    void type(const std::string& text) {
        field->entry().set_text(text);
        settle();
    }
    std::string rowText(std::size_t i) {
        return dynamic_cast<Gtk::Label*>(overlay->rowButton(i).get_child())->get_text();
    }
    bool cardOnScreen() const { return overlay->get_visible() && overlay->isCardShown(); }

    Gtk::Overlay root;
    Gtk::Box column{Gtk::Orientation::VERTICAL};
    Gtk::Button elsewhere{"elsewhere"};
    std::unique_ptr<OmniboxField> field;
    std::unique_ptr<OmniboxSuggestionsOverlay> overlay;
};

TEST_F(OmniboxSuggestionsOverlayTest, TypingAPrefixListsRowsThatNeverTakeFocus) {
    EXPECT_FALSE(cardOnScreen());
    focusField();
    type("e");
    ASSERT_TRUE(cardOnScreen());
    EXPECT_EQ(overlay->shownRows(), (List{"https://example.com/", "https://docs.example.org/guide",
                                          "https://www.google.com/search?q=e"}));
    type("exa");
    ASSERT_EQ(overlay->shownRows(),
              (List{"https://example.com/", "https://docs.example.org/guide", "https://www.google.com/search?q=exa"}));
    type("example.c");
    ASSERT_EQ(overlay->shownRows(), (List{"https://example.com/", "https://www.google.com/search?q=example.c"}));
    EXPECT_EQ(rowText(0), "https://example.com/");
    EXPECT_EQ(rowText(1), "https://www.google.com/search?q=example.c");
    EXPECT_TRUE(overlay->rowHasDivider(0));
    EXPECT_FALSE(overlay->rowHasDivider(1));

    auto& button = overlay->rowButton(0);
    EXPECT_FALSE(button.get_focus_on_click());
    EXPECT_FALSE(button.get_can_focus());
    EXPECT_EQ(dynamic_cast<Gtk::Label*>(button.get_child())->get_ellipsize(), Pango::EllipsizeMode::MIDDLE);
    EXPECT_TRUE(field->isFocused());

    type("");
    EXPECT_FALSE(cardOnScreen());
}

TEST_F(OmniboxSuggestionsOverlayTest, AtMostEightRowsAndOnlyTheLastWithoutADivider) {
    focusField();
    type("v");  // every internal page and a search row
    ASSERT_EQ(overlay->shownRows().size(), 8u);
    EXPECT_EQ(overlay->shownRows().front(), "vx://newtab");
    for (std::size_t i = 0; i < 7; ++i) EXPECT_TRUE(overlay->rowHasDivider(i)) << i;
    EXPECT_FALSE(overlay->rowHasDivider(7));
}

TEST_F(OmniboxSuggestionsOverlayTest, ClickingARowNavigatesTheActiveTabAndHidesTheCard) {
    focusField();
    type("docs");
    ASSERT_TRUE(cardOnScreen());
    g_signal_emit_by_name(overlay->rowButton(0).gobj(), "clicked");
    settle();
    ASSERT_EQ(web_.loads.size(), 1u);
    EXPECT_EQ(web_.loads[0].tabID, state->activeTab()->id());
    EXPECT_EQ(web_.loads[0].address, "https://docs.example.org/guide");
    EXPECT_EQ(state->activeTab()->urlString.get(), "https://docs.example.org/guide");
    EXPECT_FALSE(state->isEditingOmnibox.get());
    EXPECT_FALSE(cardOnScreen());
    EXPECT_TRUE(field->isFocused());  // the click leaves focus where it was

    // The same text again after the submit shows nothing.
    state->omniboxText.set("docs");
    settle();
    EXPECT_FALSE(cardOnScreen());
}

TEST_F(OmniboxSuggestionsOverlayTest, HiddenWhenTheFieldLosesFocusOrTheFlagIsOff) {
    focusField();
    type("example");
    ASSERT_TRUE(cardOnScreen());
    focusElsewhere();
    EXPECT_FALSE(cardOnScreen());

    focusField();
    type("example");
    ASSERT_TRUE(cardOnScreen());
    overlay->setFocused(false);  // the window's flag, whatever the state says
    EXPECT_TRUE(state->showOmniboxSuggestions.get());
    EXPECT_FALSE(cardOnScreen());
    overlay->setFocused(true);
    EXPECT_TRUE(cardOnScreen());
}

TEST_F(OmniboxSuggestionsOverlayTest, SitsBelowTheToolbarAndLeavesWhatIsAboveClickable) {
    EXPECT_EQ(overlay->get_margin_top(), 90);
    EXPECT_EQ(overlay->get_margin_start(), 10);
    EXPECT_EQ(overlay->get_margin_end(), 10);
    EXPECT_EQ(overlay->get_valign(), Gtk::Align::START);

    focusField();
    type("example");
    ASSERT_TRUE(cardOnScreen());
    ASSERT_TRUE(runUntil([&] { drain(); return !overlay->shownRows().empty() && overlay->rowButton(0).get_height() > 0; }));
    auto* above = root.pick(40, 10);
    ASSERT_NE(above, nullptr);
    EXPECT_TRUE(above == field.get() || above->is_ancestor(*field)) << G_OBJECT_TYPE_NAME(above->gobj());
    auto* onCard = root.pick(40, 90 + 10);
    ASSERT_NE(onCard, nullptr);
    EXPECT_TRUE(onCard == &overlay->rowButton(0) || onCard->is_ancestor(overlay->rowButton(0)))
        << G_OBJECT_TYPE_NAME(onCard->gobj());
}

}  // namespace
}  // namespace quorelle::testing
