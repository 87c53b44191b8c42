#include "web/BrowserIdentityManager.h"

#include "support/StateTestSupport.h"
#include "web/IUserAgentView.h"

#include <gtest/gtest.h>

#include <map>

namespace quorelle::testing {
namespace {

const std::string kDesktopChrome =
    "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/131.0.0.0 Safari/537.36";

class RecordingView : public IUserAgentView {
public:
    explicit RecordingView(std::optional<std::string> url = std::nullopt) : url(std::move(url)) {}
    std::optional<std::string> currentURL() const override { return url; }
    void setUserAgent(const std::optional<std::string>& userAgent) override { applied.push_back(userAgent); }

    std::optional<std::string> url;
    std::vector<std::optional<std::string>> applied;
};

TEST(BrowserIdentityManagerTest, EachPresetGivesItsFixedIdentity) {
    using M = BrowserIdentityManager;
    EXPECT_EQ(M::userAgentString(UserAgentPreset::default_, "ignored"), std::nullopt);
    EXPECT_EQ(M::userAgentString(UserAgentPreset::chromeMac, ""), kDesktopChrome);
    EXPECT_EQ(M::userAgentString(UserAgentPreset::chromeIOS, ""),
              "Mozilla/5.0 (iPhone; CPU iPhone OS 18_0 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
              "CriOS/131.0.0.0 Mobile/15E148 Safari/604.1");
    EXPECT_EQ(M::userAgentString(UserAgentPreset::iphoneSafari, "x"),
              "Mozilla/5.0 (iPhone; CPU iPhone OS 18_0 like Mac OS X) AppleWebKit/605.1.15 (KHTML, like Gecko) "
              "Version/18.0 Mobile/15E148 Safari/604.1");
}

TEST(BrowserIdentityManagerTest, TheDesktopIdentityAlwaysClaimsTheSameSystemVersion) {
    const auto agent = BrowserIdentityManager::userAgentString(UserAgentSettings{UserAgentPreset::chromeMac, ""});
    ASSERT_TRUE(agent);
    EXPECT_TRUE(agent->starts_with("Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7)"));
}

// Custom text is sent exactly as stored when it is a User-Agent header value
// the engine accepts: products, each a token with an optional "/version",
// and parenthesised comments, separated by spaces or tabs. Anything else
// (only spaces, a space at either end, control characters, characters
// outside the grammar) would leave the view on its previous identity, so it
// gives the engine's own, as empty text does.
TEST(BrowserIdentityManagerTest, CustomTextIsUsedAsStoredOnlyWhenItCanBeSent) {
    using M = BrowserIdentityManager;
    const auto custom = [](const std::string& text) {
        return M::userAgentString(UserAgentSettings{UserAgentPreset::custom, text});
    };
    for (const char* sendable : {"x", "My-Agent/1.0", "A\tB  C/2", "Foo/1.0 (X11; Linux x86_64) Bar/2",
                                 "Foo (nested (comment) \\) ok)", "Foo (caf\u00e9)"})
        EXPECT_EQ(custom(sendable), sendable) << sendable;
    for (const char* refused : {"", "   ", " My Agent/1.0\t", "Agent ", "Agent/1.0\x01", "Agent\r\nX-Evil: 1",
                                "(x)", "Foo/", "Foo/1/2", "Foo@1", "Foo/1.0 ( x", "Foo (a\x7f)", "Foo/1.0 \u65e5",
                                "Foo (\u65e5)", "Foo/1.0 \xff"})
        EXPECT_EQ(custom(refused), std::nullopt) << refused;
}

TEST(BrowserIdentityManagerTest, SignInAddressesAreRecognisedByHostPathOrWord) {
    using M = BrowserIdentityManager;
    EXPECT_FALSE(M::shouldSkipIdentityUpdate(std::nullopt));
    EXPECT_FALSE(M::shouldSkipIdentityUpdate("https://www.example.com/articles?id=4"));
    EXPECT_TRUE(M::shouldSkipIdentityUpdate("https://ACCOUNTS.Google.com/v3/signin"));
    EXPECT_TRUE(M::shouldSkipIdentityUpdate("https://www.google.com/signin/v2/identifier"));
    EXPECT_TRUE(M::shouldSkipIdentityUpdate("https://login.microsoftonline.com/common"));
    EXPECT_TRUE(M::shouldSkipIdentityUpdate("https://login.live.com/"));
    EXPECT_TRUE(M::shouldSkipIdentityUpdate("https://acme.okta.com/app"));
    // Plain containment: a host that merely contains an entry counts too.
    EXPECT_TRUE(M::shouldSkipIdentityUpdate("https://notauth0.community/"));
    EXPECT_TRUE(M::shouldSkipIdentityUpdate("https://shop.example/callback?flow=OAuth2"));
    EXPECT_TRUE(M::shouldSkipIdentityUpdate("https://idp.example/SAML/sso"));
    EXPECT_TRUE(M::shouldSkipIdentityUpdate("https://example.com/.well-known/openid-configuration"));
    // An address that does not parse is still checked as text.
    EXPECT_TRUE(M::shouldSkipIdentityUpdate("not a url but oauth"));
    EXPECT_FALSE(M::shouldSkipIdentityUpdate(""));
}

class IdentityTabsTest : public StateTest {
protected:
    void SetUp() override {
        state = makeState();
        drain();
        state->newTab("https://b.example");
        state->newTab("https://c.example");
        drain();
    }
    void choose(UserAgentSettings settings) {
        state->profileData.modify([&](ProfileData& data) { data.settings.userAgent = std::move(settings); });
    }
    AppState::TabPtr tab(std::size_t i) const { return state->tabs.get().at(i); }
    BrowserIdentityManager::ViewForTab lookup() {
        return [this](const Uuid& id) -> IUserAgentView* {
            const auto found = views.find(id);
            return found == views.end() ? nullptr : &found->second;
        };
    }

    std::shared_ptr<AppState> state;
    std::map<Uuid, RecordingView> views;
};

TEST_F(IdentityTabsTest, SignInAndLoadingTabsKeepTheirIdentityUnlessForced) {
    choose({UserAgentPreset::iphoneSafari, ""});
    views.emplace(tab(0)->id(), RecordingView("https://shop.example/cart?next=oauth"));
    views.emplace(tab(1)->id(), RecordingView("https://b.example/"));
    views.emplace(tab(2)->id(), RecordingView("https://c.example/"));
    tab(2)->isLoading.set(true);

    BrowserIdentityManager::applyToAllTabs(*state, false, lookup());
    EXPECT_TRUE(views.at(tab(0)->id()).applied.empty());
    ASSERT_EQ(views.at(tab(1)->id()).applied.size(), 1u);
    EXPECT_TRUE(views.at(tab(1)->id()).applied[0]->find("Version/18.0") != std::string::npos);
    EXPECT_TRUE(views.at(tab(2)->id()).applied.empty());

    BrowserIdentityManager::applyToAllTabs(*state, true, lookup());
    for (const auto& [id, view] : views) EXPECT_EQ(view.applied.back(), views.at(tab(1)->id()).applied[0]);
}

TEST_F(IdentityTabsTest, TabsWithoutAWebViewAreLeftForTheirCreation) {
    choose({UserAgentPreset::chromeMac, ""});
    views.emplace(tab(1)->id(), RecordingView());
    BrowserIdentityManager::applyToAllTabs(*state, true, lookup());
    EXPECT_EQ(views.at(tab(1)->id()).applied, (std::vector<std::optional<std::string>>{kDesktopChrome}));

    // The tab shown later picks up the choice of that moment.
    choose({UserAgentPreset::custom, "Later/2.0"});
    RecordingView created;
    BrowserIdentityManager::applyOnHostCreation(created, *state);
    EXPECT_EQ(created.applied, (std::vector<std::optional<std::string>>{"Later/2.0"}));
}

TEST_F(IdentityTabsTest, AnEmptyCustomValueRestoresTheEnginesOwnIdentity) {
    choose({UserAgentPreset::custom, ""});
    views.emplace(tab(0)->id(), RecordingView("https://a.example/"));
    BrowserIdentityManager::applyToAllTabs(*state, false, lookup());
    EXPECT_EQ(views.at(tab(0)->id()).applied, (std::vector<std::optional<std::string>>{std::nullopt}));
}

}  // namespace
}  // namespace quorelle::testing
