#include "support/StateTestSupport.h"

#include <nlohmann/json.hpp>

namespace quorelle::testing {
namespace {

class ProxiesTest : public StateTest {
protected:
    void SetUp() override {
        state = makeState();
        state->navigateActive("vx://proxy");
        drain();
        web_.internalReloads.clear();
    }
    static Json message(Json fields) {
        fields["action"] = "saveProxy";
        return fields;
    }
    ProxyProfile add(std::string name) {
        ProxyProfile p;
        p.name = std::move(name);
        p.host = "proxy.example";
        state->profileData.modify([&](ProfileData& d) { d.proxies.push_back(p); });
        return p;
    }
    std::int64_t savedPort(Json port) {
        state->saveProxyFromMessage(message({{"port", std::move(port)}}));
        return proxies().back().port;
    }
    const std::vector<ProxyProfile>& proxies() const { return state->profileData.get().proxies; }
    std::optional<Uuid> active() const { return state->settings().activeProxyID; }
    std::shared_ptr<AppState> state;
};

// ---- testing ---------------------------------------------------------------

TEST_F(ProxiesTest, TestChoosesTheProfileByIdOrFallsBackToTheFirst) {
    auto first = add("First");
    auto second = add("Second");
    state->testProxy(second.id.toLowerString());
    state->testProxy(std::string("not-a-uuid"));
    state->testProxy(std::nullopt);
    ASSERT_EQ(web_.proxyTests.size(), 3u);
    EXPECT_EQ(web_.proxyTests[0].proxy, second);
    EXPECT_EQ(web_.proxyTests[1].proxy, first);
    EXPECT_EQ(web_.proxyTests[2].proxy, first);
}

// The request for a profile waits for the proxy page's next render: the
// page is not reloaded, which would wipe its half-filled form. A saved
// profile answers the request.
TEST_F(ProxiesTest, TestWithoutAMatchingProfileAsksForOneUntilOneIsSaved) {
    web_.loads.clear();
    state->testProxy(std::nullopt);
    EXPECT_EQ(state->proxyTestError.get(), "Save a proxy profile first");
    add("Only");
    state->proxyTestResult.set("earlier");
    state->testProxy(Uuid::random().toString());
    EXPECT_TRUE(web_.proxyTests.empty());
    EXPECT_EQ(state->proxyTestError.get(), "Save a proxy profile first");
    EXPECT_FALSE(state->proxyTestResult.get());
    EXPECT_FALSE(state->toastMessage.get());
    drain();
    EXPECT_TRUE(web_.internalReloads.empty());
    EXPECT_TRUE(web_.reloads.empty());
    EXPECT_TRUE(web_.loads.empty());

    state->saveProxyFromMessage(message({{"host", "proxy.example"}}));
    EXPECT_FALSE(state->proxyTestError.get());
    EXPECT_EQ(web_.internalReloads.size(), 1u);
}

TEST_F(ProxiesTest, OutcomesArePublishedAsTheyArriveAndRefreshTheProxyPage) {
    add("Disabled");  // tested whatever its switch says
    state->testProxy(std::nullopt);
    state->testProxy(std::nullopt);
    web_.answerProxyTest({true, "Connected <b>fine</b>"});
    EXPECT_EQ(state->proxyTestResult.get(), "Connected <b>fine</b>");
    EXPECT_FALSE(state->proxyTestError.get());
    EXPECT_EQ(state->toastMessage.get(), "Proxy test finished");
    EXPECT_EQ(web_.internalReloads.size(), 1u);

    web_.answerProxyTest({false, "Could not connect: refused"});
    EXPECT_FALSE(state->proxyTestResult.get());
    EXPECT_EQ(state->proxyTestError.get(), "Could not connect: refused");
    EXPECT_EQ(state->toastMessage.get(), "Proxy test failed");
    EXPECT_EQ(web_.internalReloads.size(), 2u);
    EXPECT_EQ(makeState()->profileData.get().proxies.size(), 0u);  // a test saves nothing
}

TEST_F(ProxiesTest, OutcomeArrivingAfterTheStateIsGoneIsDropped) {
    add("P");
    state->persist();
    state->testProxy(std::nullopt);
    std::weak_ptr<AppState> gone = state;
    state.reset();
    ASSERT_TRUE(gone.expired());
    const auto files = snapshot();
    // Nothing is reloaded or written; a touch of the freed state is caught
    // by the sanitizer build (scripts/test --sanitize).
    web_.answerProxyTest({true, "late"});
    drain();
    EXPECT_TRUE(web_.internalReloads.empty());
    EXPECT_EQ(snapshot(), files);
}

// ---- saving ----------------------------------------------------------------

TEST_F(ProxiesTest, SavingANewProfileAppendsItAndMakesItActive) {
    state->saveProxyFromMessage(message({{"name", "Office"},
                                         {"type", "socks5"},
                                         {"host", "10.0.0.1"},
                                         {"port", "1080"},
                                         {"username", "u"},
                                         {"password", "p"},
                                         {"enabled", true}}));
    ASSERT_EQ(proxies().size(), 1u);
    const ProxyProfile& p = proxies().front();
    EXPECT_EQ(p.name, "Office");
    EXPECT_EQ(p.type, ProxyType::socks5);
    EXPECT_EQ(p.host, "10.0.0.1");
    EXPECT_EQ(p.port, 1080);
    EXPECT_EQ(p.username, "u");
    EXPECT_EQ(p.password, "p");
    EXPECT_TRUE(p.isEnabled);
    EXPECT_EQ(active(), p.id);
    EXPECT_EQ(state->toastMessage.get(), "Proxy profile saved");
    EXPECT_EQ(web_.internalReloads.size(), 1u);
    EXPECT_EQ(makeState()->profileData.get().proxies, proxies());
}

TEST_F(ProxiesTest, SavingWithAKnownIdReplacesInPlaceAndKeepsItActive) {
    add("Before");
    state->saveProxyFromMessage(message({}));
    auto saved = proxies().back();
    add("After");
    state->saveProxyFromMessage(message({{"profileId", saved.id.toLowerString()}, {"host", "new.example"}}));
    ASSERT_EQ(proxies().size(), 3u);
    EXPECT_EQ(proxies()[1].id, saved.id);
    EXPECT_EQ(proxies()[1].host, "new.example");
    EXPECT_EQ(active(), saved.id);
}

TEST_F(ProxiesTest, MissingOrMistypedFieldsTakeTheirDefaults) {
    state->saveProxyFromMessage(message({{"profileId", "nope"},
                                         {"type", "SOCKS5"},
                                         {"name", 7},
                                         {"host", nullptr},
                                         {"enabled", "true"}}));
    state->saveProxyFromMessage(message({{"name", ""}, {"type", "socks5"}}));
    ASSERT_EQ(proxies().size(), 2u);
    const ProxyProfile& defaults = proxies()[0];
    EXPECT_EQ(defaults.type, ProxyType::http);
    EXPECT_EQ(defaults.name, "Proxy");
    EXPECT_EQ(defaults.host, "");
    EXPECT_EQ(defaults.port, 8080);
    EXPECT_FALSE(defaults.isEnabled);
    EXPECT_EQ(proxies()[1].name, "");
    EXPECT_EQ(proxies()[1].type, ProxyType::socks5);
    EXPECT_NE(proxies()[0].id, proxies()[1].id);
    EXPECT_EQ(active(), proxies()[1].id);
}

TEST_F(ProxiesTest, PortIsADecimalStringOrAnIntegerNumber) {
    EXPECT_EQ(savedPort("3128"), 3128);
    EXPECT_EQ(savedPort("-5"), -5);
    EXPECT_EQ(savedPort("+70000"), 70000);
    EXPECT_EQ(savedPort("9223372036854775807"), INT64_MAX);
    EXPECT_EQ(savedPort("-9223372036854775808"), INT64_MIN);
    EXPECT_EQ(savedPort(1080), 1080);
    for (const char* bad : {"", "80a", " 80", "80 ", "+", "-", "+-1", "0x50", "9223372036854775808", "８０"})
        EXPECT_EQ(savedPort(bad), 8080) << bad;
    EXPECT_EQ(savedPort(1.5), 8080);
    EXPECT_EQ(savedPort(true), 8080);
    EXPECT_EQ(savedPort(Json::array({80})), 8080);
    EXPECT_EQ(savedPort(18446744073709551615ull), 8080);
}

TEST_F(ProxiesTest, NonObjectMessageSavesADefaultProfile) {
    state->saveProxyFromMessage(Json::array({1, 2}));
    ASSERT_EQ(proxies().size(), 1u);
    EXPECT_EQ(proxies().front().name, "Proxy");
}

// ---- deleting --------------------------------------------------------------

TEST_F(ProxiesTest, DeletingTheActiveProfileActivatesTheFirstRemaining) {
    auto a = add("A");
    auto b = add("B");
    auto c = add("C");
    state->profileData.modify([&](ProfileData& d) { d.settings.activeProxyID = b.id; });
    state->deleteProxy(b.id);
    EXPECT_EQ(active(), a.id);
    EXPECT_EQ(state->toastMessage.get(), "Proxy profile deleted");
    EXPECT_EQ(web_.internalReloads.size(), 1u);
    state->deleteProxy(c.id);  // not the active one
    EXPECT_EQ(active(), a.id);
    state->deleteProxy(a.id);
    EXPECT_FALSE(active());
    EXPECT_TRUE(proxies().empty());
    EXPECT_TRUE(makeState()->profileData.get().proxies.empty());
}

TEST_F(ProxiesTest, DeletingByAnIdTakenFromTheStoredListStillFixesTheActiveProfile) {
    auto a = add("A");
    auto b = add("B");
    add("C");
    state->profileData.modify([&](ProfileData& d) { d.settings.activeProxyID = b.id; });
    state->deleteProxy(proxies()[1].id);
    ASSERT_EQ(proxies().size(), 2u);
    EXPECT_EQ(active(), a.id);
}

TEST_F(ProxiesTest, DeletingAnUnknownIdSavesNothingAndSaysNothing) {
    state->saveProxyFromMessage(message({}));
    state->toastMessage.set(std::nullopt);
    web_.internalReloads.clear();
    const auto before = snapshot();
    state->deleteProxy(Uuid::random());
    EXPECT_EQ(proxies().size(), 1u);
    EXPECT_FALSE(state->toastMessage.get());
    EXPECT_TRUE(web_.internalReloads.empty());
    EXPECT_EQ(snapshot(), before);
}

TEST_F(ProxiesTest, GuestWindowEditsStayInMemory) {
    auto guest = makeState(true);
    const auto before = snapshot();
    guest->saveProxyFromMessage(message({{"host", "guest.example"}}));
    EXPECT_EQ(guest->profileData.get().proxies.size(), 1u);
    guest->deleteProxy(guest->profileData.get().proxies.front().id);
    EXPECT_TRUE(guest->profileData.get().proxies.empty());
    EXPECT_EQ(snapshot(), before);
}

}  // namespace
}  // namespace quorelle::testing
