// The saved-logins panel: locked until the owner check answers yes, search,
// generated passwords, and the secrets shown under each login once unlocked.
#include "cards/CardOverPage.h"
#include "cards/PasswordManagerPanel.h"
#include "store/IAuthenticator.h"
#include "store/PasswordGenerator.h"
#include "window/WindowTestSupport.h"

#include <filesystem>

namespace quorelle::testing {
namespace {

// Holds each owner check until the test answers it, then answers on a later
// turn of the main queue, as the real check does.
class FakeAuthenticator : public IAuthenticator {
public:
    explicit FakeAuthenticator(MainQueue& queue) : queue_(queue) {}
    void authenticate(std::string reason, std::function<void(bool)> completion) override {
        reasons.push_back(std::move(reason));
        pending_.push_back(std::move(completion));
    }
    void answer(bool ok) {
        for (auto& completion : pending_) queue_.post([completion, ok] { completion(ok); });
        pending_.clear();
    }
    std::vector<std::string> reasons;

private:
    MainQueue& queue_;
    std::vector<std::function<void(bool)>> pending_;
};

class PasswordManagerPanelTest : public WindowTest {
protected:
    PasswordManagerPanelTest() : authenticator(*queue_), state(makeState()) {}
    ~PasswordManagerPanelTest() override {
        over.takeDown(window_.get());
        panel.reset();
    }

    PasswordItem keep(const std::string& domain, const std::string& username, const std::string& secret) {
        PasswordItem item;
        item.domain = domain;
        item.username = username;
        state->savePasswordItem(item, secret);
        return item;
    }
    PasswordManagerPanel& open() {
        over.takeDown(window_.get());
        panel = std::make_unique<PasswordManagerPanel>(*state, authenticator);
        showInWindow(over.layer(), 700);
        over.lay(*panel);
        settle();
        return *panel;
    }
    void unlock(bool ok) {
        click(panel->lockButton());
        authenticator.answer(ok);
        settle();
    }
    std::vector<std::string> domains() const {
        std::vector<std::string> shown;
        for (std::size_t i = 0; i < panel->rowCount(); ++i) shown.push_back(panel->row(i).domain->get_text());
        return shown;
    }
    std::size_t passwordLines() const {
        std::size_t lines = 0;
        for (std::size_t i = 0; i < panel->rowCount(); ++i) lines += panel->row(i).password ? 1 : 0;
        return lines;
    }
    void search(const char* text) {
        panel->searchField().set_text(text);
        settle();
    }
    std::string profileID() const { return state->appSettings.get().selectedStartupProfileID; }
    static void click(Gtk::Button& button) { g_signal_emit_by_name(button.gobj(), "clicked"); }

    FakeAuthenticator authenticator;
    std::shared_ptr<AppState> state;
    CardOverPage over;
    std::unique_ptr<PasswordManagerPanel> panel;
};

TEST_F(PasswordManagerPanelTest, StartsLockedAndListsWhatTheProfileFilesHoldWhenItAppears) {
    keep("example.com", "ada", "one");
    const auto gone = keep("gone.net", "bob", "two");
    keep("third.org", "cy", "three");
    std::filesystem::remove(profileFile(profileID(), gone.metadataFileName()));
    auto& p = open();
    EXPECT_EQ(p.lockButton().get_label(), "Unlock");
    EXPECT_FALSE(p.generatedLabel().get_visible());
    EXPECT_EQ(p.searchField().get_placeholder_text(), "Search");
    EXPECT_TRUE(CardOverPage::holdsFocus(p.searchField()));
    EXPECT_EQ(domains(), (std::vector<std::string>{"example.com", "third.org"}));
    EXPECT_EQ(p.row(0).username->get_text(), "ada");
    EXPECT_EQ(passwordLines(), 0u);
}

TEST_F(PasswordManagerPanelTest, SearchIgnoresCaseAndAlsoMatchesUserNames) {
    keep("example.com", "ada", "1");
    keep("mail.org", "exa-user", "2");
    keep("other.net", "zed", "3");
    open();
    search("EXA");
    EXPECT_EQ(domains(), (std::vector<std::string>{"example.com", "mail.org"}));
    search("zed");
    EXPECT_EQ(domains(), std::vector<std::string>{"other.net"});
    search("");
    EXPECT_EQ(domains(), (std::vector<std::string>{"example.com", "mail.org", "other.net"}));
}

TEST_F(PasswordManagerPanelTest, SearchLooksAtNothingButDomainAndUserName) {
    PasswordItem item;
    item.domain = "a.com";
    item.username = "u";
    item.websiteURL = "https://needle.example/";
    item.email = "needle@x";
    item.notes = "needle";
    EXPECT_TRUE(PasswordManagerPanel::filtered({item}, "needle").empty());
    EXPECT_EQ(PasswordManagerPanel::filtered({item}, "A.C").size(), 1u);
}

TEST_F(PasswordManagerPanelTest, PasswordsStayHiddenUntilTheOwnerCheckSaysYes) {
    keep("example.com", "ada", "s3cret");
    auto& p = open();
    click(p.lockButton());
    settle();
    EXPECT_EQ(authenticator.reasons, std::vector<std::string>{"View saved passwords"});
    EXPECT_EQ(p.lockButton().get_label(), "Unlock");  // still waiting for the answer
    EXPECT_EQ(passwordLines(), 0u);
    authenticator.answer(true);
    settle();
    EXPECT_TRUE(p.unlocked());
    EXPECT_TRUE(state->passwordsUnlocked.get());
    EXPECT_EQ(p.lockButton().get_label(), "Lock");
    ASSERT_EQ(passwordLines(), 1u);
    EXPECT_EQ(p.row(0).password->get_text(), "s3cret");
}

TEST_F(PasswordManagerPanelTest, FailedOwnerCheckLeavesThePanelLocked) {
    keep("example.com", "ada", "s3cret");
    auto& p = open();
    unlock(false);
    EXPECT_FALSE(p.unlocked());
    EXPECT_FALSE(state->passwordsUnlocked.get());
    EXPECT_EQ(p.lockButton().get_label(), "Unlock");
    EXPECT_EQ(passwordLines(), 0u);
}

TEST_F(PasswordManagerPanelTest, LockHidesEveryPasswordAtOnceWithoutAsking) {
    keep("example.com", "ada", "1");
    keep("mail.org", "bob", "2");
    auto& p = open();
    unlock(true);
    EXPECT_EQ(passwordLines(), 2u);
    click(p.lockButton());
    EXPECT_EQ(passwordLines(), 0u);
    EXPECT_EQ(p.lockButton().get_label(), "Unlock");
    EXPECT_FALSE(state->passwordsUnlocked.get());
    EXPECT_EQ(authenticator.reasons.size(), 1u);
}

TEST_F(PasswordManagerPanelTest, LoginWithoutASecretShowsNoPasswordLineWhenUnlocked) {
    const auto item = keep("example.com", "ada", "1");
    keep("mail.org", "bob", "2");
    keychain_.deletePassword(item.itemKey(), profileID());
    open();
    unlock(true);
    ASSERT_EQ(panel->rowCount(), 2u);
    EXPECT_EQ(panel->row(0).password, nullptr);
    ASSERT_NE(panel->row(1).password, nullptr);
}

TEST_F(PasswordManagerPanelTest, UnlockedRowHoldsDomainUserNameAndSecretAndNothingElse) {
    keep("example.com", "ada", "s3cret");
    auto& p = open();
    unlock(true);
    ASSERT_EQ(p.rowCount(), 1u);
    std::vector<std::string> lines;
    int buttons = 0;
    for (auto* child = p.row(0).domain->get_parent()->get_first_child(); child; child = child->get_next_sibling()) {
        if (auto* label = dynamic_cast<Gtk::Label*>(child)) lines.push_back(label->get_text());
        if (dynamic_cast<Gtk::Button*>(child)) ++buttons;
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"example.com", "ada", "s3cret"}));
    EXPECT_EQ(buttons, 0);
    EXPECT_TRUE(clipboard_.texts.empty());
    EXPECT_EQ(state->passwordItems.get().size(), 1u);
}

TEST_F(PasswordManagerPanelTest, GenerateShowsAFreshSixteenCharacterPasswordFromTheFullPool) {
    auto& p = open();
    const std::string pool = PasswordGenerator::pool(true, true, true, true);
    std::string previous;
    for (int i = 0; i < 3; ++i) {
        click(p.generateButton());
        const std::string made = p.generated();
        EXPECT_EQ(made.size(), 16u);
        EXPECT_EQ(made.find_first_not_of(pool), std::string::npos);
        EXPECT_NE(made, previous);
        EXPECT_TRUE(p.generatedLabel().get_visible());
        EXPECT_EQ(p.generatedLabel().get_text().raw(), "Generated: " + made);
        previous = made;
    }
    EXPECT_TRUE(clipboard_.texts.empty());
    EXPECT_EQ(keychain_.saveCalls, 0);
}

TEST_F(PasswordManagerPanelTest, ListFollowsLoginsSavedWhileItShows) {
    keep("example.com", "ada", "1");
    open();
    search("MAIL");
    EXPECT_TRUE(domains().empty());
    keep("mail.org", "bob", "2");
    settle();
    EXPECT_EQ(domains(), std::vector<std::string>{"mail.org"});
}

TEST_F(PasswordManagerPanelTest, EmptyProfileShowsAnEmptyList) {
    open();
    EXPECT_EQ(panel->rowCount(), 0u);
}

}  // namespace
}  // namespace quorelle::testing
