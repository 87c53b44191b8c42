#include "window/OmniboxField.h"

#include "window/WindowTestSupport.h"
#include "window/ChromeStyle.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>

namespace quorelle::testing {
namespace {

class OmniboxFieldTest : public WindowStateTest {
protected:
    void SetUp() override {
        WindowStateTest::SetUp();
        field = std::make_unique<OmniboxField>(state);
        field->signalEdited().connect([this](const std::string& text) { edits.push_back(text); });
        field->signalFocusChanged().connect([this](bool focused) { focusChanges.push_back(focused); });
        row.append(*field);
        row.append(elsewhere);
        showInWindow(row);
        focusElsewhere();  // a new window focuses its first focusable widget
        web_.loads.clear();
        focusChanges.clear();
    }
    void TearDown() override {
        if (window_) window_->unset_child();
        field.reset();
    }
    AppState::TabPtr tab() const { return state->activeTab(); }
    std::string shown() const { return field->entry().get_text(); }
    void focusField() {
        field->focus();
        settle();
    }
    void focusElsewhere() {
        elsewhere.grab_focus();
        settle();
    }
    // What a keystroke does to the entry.
    void type(const std::string& text) {
        field->entry().set_text(text);
        settle();
    }
    void pressReturn() {
        g_signal_emit_by_name(field->entry().gobj(), "activate");
        settle();
    }
    void showPage(const std::string& url, bool secure) {
        state->navigateActive(url);
        tab()->isSecure.set(secure);
        settle();
    }

    Gtk::Box row;
    Gtk::Button elsewhere{"elsewhere"};
    std::unique_ptr<OmniboxField> field;
    std::vector<std::string> edits;
    std::vector<bool> focusChanges;
};

TEST_F(OmniboxFieldTest, StartsFromTheStateTextWithThePlaceholder) {
    EXPECT_EQ(shown(), state->omniboxText.get());
    EXPECT_EQ(field->entry().get_placeholder_text(), "Search Google or type a URL");
    EXPECT_FALSE(field->isFocused());
}

TEST_F(OmniboxFieldTest, FocusBeginsEditingAndLeavingEndsIt) {
    showPage("https://example.com/a", true);
    focusField();
    EXPECT_TRUE(field->isFocused());
    EXPECT_TRUE(state->isEditingOmnibox.get());
    EXPECT_EQ(shown(), "https://example.com/a");
    EXPECT_TRUE(field->has_css_class(ChromeStyle::focused));

    type("exa");
    EXPECT_TRUE(state->showOmniboxSuggestions.get());
    focusElsewhere();
    EXPECT_FALSE(field->isFocused());
    EXPECT_FALSE(state->isEditingOmnibox.get());
    EXPECT_FALSE(state->showOmniboxSuggestions.get());
    EXPECT_EQ(shown(), "https://example.com/a");
    EXPECT_FALSE(field->has_css_class(ChromeStyle::focused));
    EXPECT_EQ(focusChanges, (std::vector<bool>{true, false}));
}

TEST_F(OmniboxFieldTest, TypingMirrorsIntoTheStateAndTogglesSuggestions) {
    focusField();
    type("q");
    EXPECT_EQ(state->omniboxText.get(), "q");
    EXPECT_TRUE(state->showOmniboxSuggestions.get());
    type("");
    EXPECT_EQ(state->omniboxText.get(), "");
    EXPECT_FALSE(state->showOmniboxSuggestions.get());
    EXPECT_TRUE(state->isEditingOmnibox.get());
    EXPECT_EQ(edits, (std::vector<std::string>{"q", ""}));
}

TEST_F(OmniboxFieldTest, ReturnSubmitsTheShownTextToTheActiveTabAndDropsFocus) {
    std::vector<std::string> submitted;
    field->signalSubmitted().connect([&](const std::string& text) { submitted.push_back(text); });
    focusField();
    type("https://typed.example/");
    state->omniboxText.set("something else");  // the field keeps what it shows
    settle();
    pressReturn();
    EXPECT_EQ(tab()->urlString.get(), "https://typed.example/");
    ASSERT_EQ(web_.loads.size(), 1u);
    EXPECT_EQ(web_.loads[0].tabID, tab()->id());
    EXPECT_EQ(web_.loads[0].address, "https://typed.example/");
    EXPECT_FALSE(field->isFocused());
    EXPECT_FALSE(state->isEditingOmnibox.get());
    EXPECT_EQ(shown(), "https://typed.example/");
    EXPECT_EQ(submitted, std::vector<std::string>{"https://typed.example/"});
}

TEST_F(OmniboxFieldTest, ProgrammaticTextNeverFiresTheEditHook) {
    state->omniboxText.set("set by the browser");
    settle();
    EXPECT_EQ(shown(), "set by the browser");
    showPage("https://example.com/", true);
    focusField();  // the field fills itself with the tab's text
    focusElsewhere();
    EXPECT_TRUE(edits.empty());
    EXPECT_EQ(state->omniboxText.get(), "https://example.com/");
}

TEST_F(OmniboxFieldTest, AddressChangesWhileTypingDoNotOverwriteTheText) {
    showPage("https://example.com/", true);
    focusField();
    type("my query");
    tab()->urlString.set("https://example.com/redirected");
    state->syncOmniboxFromTab();
    settle();
    EXPECT_EQ(shown(), "my query");
    focusElsewhere();
    EXPECT_EQ(shown(), "https://example.com/redirected");
}

TEST_F(OmniboxFieldTest, SwitchingTabsWhileNotEditingShowsTheNewTabsAddress) {
    showPage("https://first.example/", true);
    state->newTab("https://second.example/");
    settle();
    EXPECT_EQ(shown(), "https://second.example/");
    state->selectTab(state->tabs.get().front());
    settle();
    EXPECT_EQ(shown(), "https://first.example/");
}

TEST_F(OmniboxFieldTest, InsecurePageShowsAnOrangeWarningAndTheLabel) {
    showPage("HTTP://plain.example/", false);
    EXPECT_EQ(field->shownIcon(), OmniboxLeadingIcon::insecure);
    EXPECT_EQ(field->leadingIcon().get_icon_name(), "dialog-warning-symbolic");
    EXPECT_TRUE(field->leadingIcon().has_css_class(ChromeStyle::warning));
    EXPECT_TRUE(field->notSecureLabel().get_visible());
    EXPECT_EQ(field->notSecureLabel().get_text(), "Not Secure");

    // While editing the symbol is the magnifying glass, but the label stays.
    focusField();
    EXPECT_EQ(field->leadingIcon().get_icon_name(), "system-search-symbolic");
    EXPECT_FALSE(field->leadingIcon().has_css_class(ChromeStyle::warning));
    EXPECT_TRUE(field->notSecureLabel().get_visible());
}

TEST_F(OmniboxFieldTest, SecureAndInternalPagesShowNoLabel) {
    showPage("https://safe.example/", true);
    EXPECT_EQ(field->leadingIcon().get_icon_name(), "channel-secure-symbolic");
    EXPECT_FALSE(field->leadingIcon().has_css_class(ChromeStyle::warning));
    EXPECT_FALSE(field->notSecureLabel().get_visible());

    // The label follows the flag, not the address.
    tab()->isSecure.set(false);
    settle();
    EXPECT_TRUE(field->notSecureLabel().get_visible());

    state->navigateActive("vx://settings");
    tab()->isSecure.set(false);
    settle();
    EXPECT_EQ(field->leadingIcon().get_icon_name(), "computer-symbolic");
    EXPECT_FALSE(field->notSecureLabel().get_visible());
}

TEST_F(OmniboxFieldTest, WithoutAnActiveTabReturnLoadsNothing) {
    state->tabs.set({});  // the window has no tab
    state->syncOmniboxFromTab();
    settle();
    EXPECT_EQ(shown(), "");
    EXPECT_EQ(field->leadingIcon().get_icon_name(), "system-search-symbolic");
    EXPECT_FALSE(field->notSecureLabel().get_visible());
    focusField();
    pressReturn();
    EXPECT_FALSE(state->isEditingOmnibox.get());
    EXPECT_TRUE(web_.loads.empty());
}

}  // namespace
}  // namespace quorelle::testing
