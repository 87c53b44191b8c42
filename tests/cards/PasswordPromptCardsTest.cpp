// The login save and update prompts: what each button stores, in the
// keyring and in the profile, and that every button takes the card away.
#include "cards/CardKeys.h"
#include "cards/CardOverPage.h"
#include "cards/PasswordSavePromptCard.h"
#include "cards/PasswordUpdatePromptCard.h"
#include "support/RealInput.h"
#include "window/WindowTestSupport.h"

namespace quorelle::testing {
namespace {

class PasswordPromptCardsTest : public WindowTest {
protected:
    PasswordPromptCardsTest() : state(makeState()) {}
    ~PasswordPromptCardsTest() override {
        over.takeDown(window_.get());
        card.reset();
    }

    template <typename Card>
    Card& show(std::unique_ptr<Gtk::Widget> made) {
        EXPECT_TRUE(made);
        over.takeDown(window_.get());
        card = std::move(made);
        showInWindow(over.layer(), 700);
        over.lay(*card);
        return dynamic_cast<Card&>(*card);
    }
    PasswordSavePromptCard& offer(PasswordSavePrompt prompt) {
        state->showPasswordSavePrompt.set(std::move(prompt));
        return show<PasswordSavePromptCard>(PasswordSavePromptCard::cardFactory()(*state));
    }
    PasswordUpdatePromptCard& offerUpdate(PasswordUpdatePrompt prompt) {
        state->showPasswordUpdatePrompt.set(std::move(prompt));
        return show<PasswordUpdatePromptCard>(PasswordUpdatePromptCard::cardFactory()(*state));
    }
    static PasswordSavePrompt examplePrompt() {
        return PasswordSavePrompt("example.com", "ada", "s3cret!", "https://example.com/login");
    }
    std::string profileID() const { return state->appSettings.get().selectedStartupProfileID; }
    std::optional<std::string> secretOf(const PasswordItem& item) {
        return keychain_.loadPassword(item.itemKey(), profileID());
    }
    static void click(Gtk::Button& button) { g_signal_emit_by_name(button.gobj(), "clicked"); }

    std::shared_ptr<AppState> state;
    CardOverPage over;
    std::unique_ptr<Gtk::Widget> card;
};

TEST_F(PasswordPromptCardsTest, FactoriesMakeNothingWithoutAPrompt) {
    EXPECT_EQ(PasswordSavePromptCard::cardFactory()(*state), nullptr);
    EXPECT_EQ(PasswordUpdatePromptCard::cardFactory()(*state), nullptr);
}

TEST_F(PasswordPromptCardsTest, SaveCardShowsItsTextsAndButtonsInOrder) {
    auto& c = offer(examplePrompt());
    EXPECT_EQ(c.titleLabel().get_text().raw(), "Save Password?");
    EXPECT_EQ(c.messageLabel().get_text().raw(), "Would you like Quorelle to save your login for this website?");
    std::vector<std::string> labels;
    for (auto* b : {&c.saveButton(), &c.notNowButton(), &c.neverButton()}) labels.push_back(b->get_label());
    EXPECT_EQ(labels, (std::vector<std::string>{"Save", "Not Now", "Never"}));
    // The card's own box, its padding included.
    graphene_rect_t box;
    ASSERT_TRUE(gtk_widget_compute_bounds(GTK_WIDGET(c.gobj()), GTK_WIDGET(c.gobj()), &box));
    EXPECT_GE(box.size.width, PasswordSavePromptCard::width);
}

TEST_F(PasswordPromptCardsTest, SaveStoresTheLoginWithEmptyEmailAndNotesAndClosesTheCard) {
    auto& c = offer(examplePrompt());
    click(c.saveButton());
    EXPECT_FALSE(state->showPasswordSavePrompt.get().has_value());
    ASSERT_EQ(state->passwordItems.get().size(), 1u);
    const auto item = state->passwordItems.get().front();
    EXPECT_EQ(item.websiteURL, "https://example.com/login");
    EXPECT_EQ(item.domain, "example.com");
    EXPECT_EQ(item.username, "ada");
    EXPECT_EQ(item.email, "");
    EXPECT_EQ(item.notes, "");
    EXPECT_GE(item.modifiedAt.secondsSinceReferenceDate, item.createdAt.secondsSinceReferenceDate);
    EXPECT_EQ(secretOf(item), "s3cret!");
    EXPECT_TRUE(fileExists(profileFile(profileID(), item.metadataFileName())));
    EXPECT_EQ(state->toastMessage.get(), std::nullopt);
}

TEST_F(PasswordPromptCardsTest, SavingTheSameLoginTwiceKeepsTwoRecords) {
    click(offer(examplePrompt()).saveButton());
    click(offer(examplePrompt()).saveButton());
    ASSERT_EQ(state->passwordItems.get().size(), 2u);
    EXPECT_NE(state->passwordItems.get()[0].id, state->passwordItems.get()[1].id);
}

TEST_F(PasswordPromptCardsTest, TheSaveCardTakesTheFocusAndAReturnPressSavesOnce) {
    auto& c = offer(examplePrompt());
    EXPECT_TRUE(CardOverPage::holdsFocus(c.saveButton()));
    ASSERT_TRUE(runUntil([&] { return pressKey(c, GDK_KEY_Return); }));
    EXPECT_TRUE(runUntil([&] { return !state->showPasswordSavePrompt.get().has_value(); }));
    spin();
    EXPECT_EQ(state->passwordItems.get().size(), 1u);
    EXPECT_EQ(over.page().get_text(), "");
}

TEST_F(PasswordPromptCardsTest, KeyringRefusingTheSecretIsReportedAndNothingLooksSaved) {
    keychain_.available = false;
    auto& c = offer(examplePrompt());
    click(c.saveButton());
    EXPECT_FALSE(state->showPasswordSavePrompt.get().has_value());
    EXPECT_TRUE(state->passwordItems.get().empty());
    EXPECT_TRUE(state->profileData.get().passwordReferences.empty());
    EXPECT_EQ(state->toastMessage.get(), std::string("Couldn't save the password to the keyring"));
}

TEST_F(PasswordPromptCardsTest, NotNowStoresNothing) {
    auto& c = offer(examplePrompt());
    click(c.notNowButton());
    EXPECT_FALSE(state->showPasswordSavePrompt.get().has_value());
    EXPECT_EQ(keychain_.saveCalls, 0);
    EXPECT_TRUE(state->passwordItems.get().empty());
    EXPECT_TRUE(state->settings().neverSavePasswordDomains.empty());
}

TEST_F(PasswordPromptCardsTest, NeverTwiceForOneDomainListsItTwiceAndPersists) {
    click(offer(examplePrompt()).neverButton());
    EXPECT_FALSE(state->showPasswordSavePrompt.get().has_value());
    click(offer(examplePrompt()).neverButton());
    const std::vector<std::string> expected{"example.com", "example.com"};
    EXPECT_EQ(state->settings().neverSavePasswordDomains, expected);
    EXPECT_EQ(store_->loadProfileData(profileID()).settings.neverSavePasswordDomains, expected);
    EXPECT_EQ(keychain_.saveCalls, 0);
}

TEST_F(PasswordPromptCardsTest, GuestWindowSaveStoresNothingButCloses) {
    state = makeState(true);
    auto& c = offer(examplePrompt());
    click(c.saveButton());
    EXPECT_FALSE(state->showPasswordSavePrompt.get().has_value());
    EXPECT_EQ(keychain_.saveCalls, 0);
    EXPECT_TRUE(state->passwordItems.get().empty());
}

TEST_F(PasswordPromptCardsTest, ANewPromptWhileTheCardShowsIsTheOneSaved) {
    auto& c = offer(examplePrompt());
    state->showPasswordSavePrompt.set(PasswordSavePrompt("other.org", "bob", "pw2", "https://other.org/"));
    settle();
    click(c.saveButton());
    ASSERT_EQ(state->passwordItems.get().size(), 1u);
    EXPECT_EQ(state->passwordItems.get().front().domain, "other.org");
    EXPECT_EQ(secretOf(state->passwordItems.get().front()), "pw2");
}

TEST_F(PasswordPromptCardsTest, UpdateCardShowsOnlyItsTitleAndTwoButtons) {
    PasswordItem item;
    auto& c = offerUpdate(PasswordUpdatePrompt(item, "new"));
    EXPECT_EQ(c.titleLabel().get_text().raw(), "Update Password?");
    EXPECT_EQ(c.updateButton().get_label(), "Update");
    EXPECT_EQ(c.ignoreButton().get_label(), "Ignore");
    int labels = 0;
    for (auto* child = c.get_first_child(); child; child = child->get_next_sibling())
        labels += dynamic_cast<Gtk::Label*>(child) ? 1 : 0;
    EXPECT_EQ(labels, 1);
}

TEST_F(PasswordPromptCardsTest, UpdateReplacesOnlyTheSecretOfTheSameLogin) {
    PasswordItem item;
    item.domain = "example.com";
    item.username = "ada";
    item.createdAt = Date{1000};
    item.modifiedAt = Date{2000};
    state->savePasswordItem(item, "old");
    const auto metadata = readFile(profileFile(profileID(), item.metadataFileName()));
    auto& c = offerUpdate(PasswordUpdatePrompt(item, "new"));
    click(c.updateButton());
    EXPECT_FALSE(state->showPasswordUpdatePrompt.get().has_value());
    ASSERT_EQ(state->passwordItems.get().size(), 1u);
    EXPECT_EQ(state->passwordItems.get().front(), item);
    EXPECT_EQ(secretOf(item), "new");
    EXPECT_EQ(readFile(profileFile(profileID(), item.metadataFileName())), metadata);
}

TEST_F(PasswordPromptCardsTest, ReturnOnTheUpdateCardUpdatesAndIgnoreStoresNothing) {
    PasswordItem item;
    state->savePasswordItem(item, "old");
    const int saves = keychain_.saveCalls;
    click(offerUpdate(PasswordUpdatePrompt(item, "ignored")).ignoreButton());
    EXPECT_FALSE(state->showPasswordUpdatePrompt.get().has_value());
    EXPECT_EQ(keychain_.saveCalls, saves);
    EXPECT_EQ(secretOf(item), "old");

    auto& update = offerUpdate(PasswordUpdatePrompt(item, "new"));
    EXPECT_TRUE(CardOverPage::holdsFocus(update.updateButton()));
    EXPECT_TRUE(pressShortcut(update, "Return"));
    EXPECT_FALSE(state->showPasswordUpdatePrompt.get().has_value());
    EXPECT_EQ(secretOf(item), "new");
}

TEST_F(PasswordPromptCardsTest, UpdateRefusedByTheKeyringKeepsTheOldSecretAndSaysSo) {
    PasswordItem item;
    state->savePasswordItem(item, "old");
    keychain_.available = false;
    click(offerUpdate(PasswordUpdatePrompt(item, "new")).updateButton());
    keychain_.available = true;
    EXPECT_FALSE(state->showPasswordUpdatePrompt.get().has_value());
    EXPECT_EQ(secretOf(item), "old");
    EXPECT_EQ(state->toastMessage.get(), std::string("Couldn't save the password to the keyring"));
}

}  // namespace
}  // namespace quorelle::testing
