#include "web/FaviconService.h"

#include "favicon/LoopbackIconServer.h"
#include "model/QuorelleAssets.h"
#include "store/MainQueue.h"
#include "support/LogWatch.h"
#include "web/IScriptableView.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace quorelle::testing {
namespace {

using namespace std::chrono_literals;

// What one lookup delivered.
struct Delivery {
    int calls = 0;
    std::optional<std::string> icon;
};

class FaviconServiceTest : public ::testing::Test {
protected:
    // A request the loopback server answers is never cut short, however
    // loaded the machine; the time-out case makes its own services, whose
    // short-limited requests go unanswered.
    static constexpr std::chrono::milliseconds answeredLimit = 60s;
    static constexpr std::chrono::milliseconds shortLimit = 300ms;

    FaviconServiceTest() : queueContext(g_main_context_new()), queue(std::make_unique<MainQueue>(queueContext)) {
        service = std::make_unique<FaviconService>(*queue, endpoints(), answeredLimit);
    }
    ~FaviconServiceTest() override {
        service.reset();
        queue.reset();
        g_main_context_unref(queueContext);
    }

    FaviconService::Endpoints endpoints() const {
        return {[base = server.base()](const std::string& host) { return base + "/fav/" + host + ".ico"; },
                server.base() + "/lookup?domain="};
    }

    std::shared_ptr<Delivery> lookUp(const std::string& pageURL) {
        auto delivery = std::make_shared<Delivery>();
        service->fetchFromNetwork(pageURL, [delivery](std::optional<std::string> icon) {
            ++delivery->calls;
            delivery->icon = std::move(icon);
        });
        return delivery;
    }

    // Iterates the network side (the default context) and, unless told
    // otherwise, runs what reaches the main queue, until `done` holds. The
    // limit only ends a wait that would never end.
    template <typename Pred>
    bool runUntil(Pred done, std::chrono::milliseconds limit = 30s, bool runMainQueue = true) {
        const gint64 end = g_get_monotonic_time() + gint64(limit.count()) * 1000;
        while (!done() && g_get_monotonic_time() < end) {
            const bool dispatched = g_main_context_iteration(nullptr, FALSE);
            if (runMainQueue) queue->drain();
            if (!dispatched) g_usleep(1000);
        }
        return done();
    }
    void settle(std::chrono::milliseconds time) {
        runUntil([] { return false; }, time);
    }

    std::string direct(const std::string& host) const { return server.base() + "/fav/" + host + ".ico"; }
    std::string lookup(const std::string& host) const {
        return server.base() + "/lookup?domain=" + host + "&sz=64";
    }

    LoopbackIconServer server;
    GMainContext* queueContext;
    std::unique_ptr<MainQueue> queue;
    std::unique_ptr<FaviconService> service;
};

TEST_F(FaviconServiceTest, TheSitesOwnIconFileWinsAndThenServesEveryAddressOfTheHostAtOnce) {
    server.answers["/fav/site.example.ico"] = {200, ""};  // an empty body still counts
    auto first = lookUp("https://site.example/a/page?q=1");
    EXPECT_EQ(first->calls, 0);
    ASSERT_TRUE(runUntil([&] { return first->calls > 0; }));
    EXPECT_EQ(first->icon, direct("site.example"));
    EXPECT_EQ(server.requests, std::vector<std::string>{"/fav/site.example.ico"});

    // The cache key is the host alone, whatever the scheme, port or path.
    EXPECT_EQ(service->cached("http://site.example:8080/elsewhere"), direct("site.example"));
    auto second = lookUp("https://site.example/other");
    EXPECT_EQ(second->calls, 1);  // completed before fetchFromNetwork returned
    EXPECT_EQ(second->icon, direct("site.example"));
    settle(50ms);
    EXPECT_EQ(first->calls, 1);
    EXPECT_EQ(server.requests.size(), 1u);
}

TEST_F(FaviconServiceTest, AMissingIconFileFallsThroughToTheLookupServiceWhoseAnyAnswerWins) {
    server.answers["/lookup?domain=site.example&sz=64"] = {200, "<html>not an icon at all</html>"};
    auto delivery = lookUp("https://site.example/");
    ASSERT_TRUE(runUntil([&] { return delivery->calls > 0; }));
    EXPECT_EQ(delivery->icon, lookup("site.example"));
    EXPECT_EQ(server.requests,
              (std::vector<std::string>{"/fav/site.example.ico", "/lookup?domain=site.example&sz=64"}));
    EXPECT_EQ(service->cached("https://site.example/x"), lookup("site.example"));
}

TEST_F(FaviconServiceTest, WhenBothCandidatesFailTheLookupGivesNothingExactlyOnce) {
    server.answers["/lookup?domain=site.example&sz=64"] = {500, "error"};
    auto delivery = lookUp("https://site.example/");
    ASSERT_TRUE(runUntil([&] { return delivery->calls > 0; }));
    settle(100ms);
    EXPECT_EQ(delivery->calls, 1);
    EXPECT_EQ(delivery->icon, std::nullopt);
    EXPECT_EQ(server.requests.size(), 2u);
    EXPECT_EQ(service->cached("https://site.example/"), std::nullopt);
}

// The site's icon file never answers: its request ends at its time limit,
// and the lookup service, asked only then and given the whole limit, has its
// answer used. When neither ever answers, the lookup gives nothing.
TEST_F(FaviconServiceTest, AnUnansweredRequestGivesUpAtTheTimeLimitAndTheNextCandidateIsTried) {
    service = std::make_unique<FaviconService>(*queue, endpoints(), shortLimit, answeredLimit);
    server.answers["/fav/slow.example.ico"] = {200, "", true};
    server.answers["/lookup?domain=slow.example&sz=64"] = {200, "icon"};
    auto start = std::chrono::steady_clock::now();
    auto slow = lookUp("https://slow.example/");
    ASSERT_TRUE(runUntil([&] { return server.requests.size() == 2; }));
    EXPECT_GE(std::chrono::steady_clock::now() - start, shortLimit - 20ms);
    ASSERT_TRUE(runUntil([&] { return slow->calls > 0; }));
    EXPECT_EQ(slow->icon, lookup("slow.example"));
    EXPECT_EQ(service->cached("https://slow.example/"), lookup("slow.example"));

    service = std::make_unique<FaviconService>(*queue, endpoints(), shortLimit);
    server.requests.clear();
    server.answers["/fav/stuck.example.ico"] = {200, "", true};
    server.answers["/lookup?domain=stuck.example&sz=64"] = {200, "", true};
    start = std::chrono::steady_clock::now();
    auto stuck = lookUp("https://stuck.example/");
    ASSERT_TRUE(runUntil([&] { return server.requests.size() == 2; }));
    EXPECT_GE(std::chrono::steady_clock::now() - start, shortLimit - 20ms);
    ASSERT_TRUE(runUntil([&] { return stuck->calls > 0; }));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 2 * shortLimit - 40ms);
    EXPECT_EQ(stuck->icon, std::nullopt);
    EXPECT_EQ(server.requests,
              (std::vector<std::string>{"/fav/stuck.example.ico", "/lookup?domain=stuck.example&sz=64"}));
    EXPECT_EQ(service->cached("https://stuck.example/"), std::nullopt);
}

TEST_F(FaviconServiceTest, AddressesWithoutAHostAnswerNothingAtOnceWithoutTheNetwork) {
    for (const char* address : {"file:///home/user/page.html", "not an address", "", "mailto:someone@example.com"}) {
        auto delivery = lookUp(address);
        EXPECT_EQ(delivery->calls, 1) << address;
        EXPECT_EQ(delivery->icon, std::nullopt) << address;
        EXPECT_EQ(service->cached(address), std::nullopt) << address;
    }
    settle(50ms);
    EXPECT_TRUE(server.requests.empty());
}

// A candidate libsoup cannot send ends the lookup without trying the next;
// one it can send is asked for as written, however odd its query or path.
// Nothing warns either way.
TEST_F(FaviconServiceTest, EveryCandidateLibsoupTakesIsAskedForAndAnUnusableOneEndsTheLookupWithoutAWarning) {
    LogWatch log;
    for (const std::string unusable : {"::no address::", "https://", "http://:8080/favicon.ico", "https://@/x.ico"}) {
        auto endpoints = this->endpoints();
        endpoints.faviconDirect = [unusable](const std::string&) { return unusable; };
        service = std::make_unique<FaviconService>(*queue, endpoints, answeredLimit);
        auto delivery = lookUp("https://site.example/");
        ASSERT_TRUE(runUntil([&] { return delivery->calls > 0; })) << unusable;
        EXPECT_EQ(delivery->icon, std::nullopt) << unusable;
    }
    settle(50ms);
    EXPECT_TRUE(server.requests.empty());

    for (const std::string odd : {"/fav/i.ico?q=%E9", "/fav/i.ico?x=a|b", "/fav/{i}.png"}) {
        server.answers[odd] = {200, "icon"};
        auto endpoints = this->endpoints();
        endpoints.faviconDirect = [address = server.base() + odd](const std::string&) { return address; };
        service = std::make_unique<FaviconService>(*queue, endpoints, answeredLimit);
        auto delivery = lookUp("https://site.example/");
        ASSERT_TRUE(runUntil([&] { return delivery->calls > 0; })) << odd;
        EXPECT_EQ(delivery->icon, server.base() + odd);
        ASSERT_FALSE(server.requests.empty()) << odd;
        EXPECT_EQ(server.requests.back(), odd);
    }
    EXPECT_EQ(server.requests.size(), 3u);
    EXPECT_EQ(log.problems(), std::vector<std::string>{});
}

TEST_F(FaviconServiceTest, ALookupStillRunningWhenTheServiceGoesAwayNeverCompletes) {
    server.answers["/fav/site.example.ico"] = {200, "", true};
    auto delivery = lookUp("https://site.example/");
    ASSERT_TRUE(runUntil([&] { return !server.requests.empty(); }));
    service.reset();
    settle(500ms);
    EXPECT_EQ(delivery->calls, 0);
}

TEST_F(FaviconServiceTest, AnAnswerQueuedWhenTheServiceGoesAwayReachesNobody) {
    server.answers["/fav/site.example.ico"] = {200, "icon"};
    auto delivery = lookUp("https://site.example/");
    ASSERT_TRUE(runUntil([&] { return queue->pending() > 0; }, 30s, false));
    service.reset();
    queue->drain();
    EXPECT_EQ(delivery->calls, 0);
}

TEST_F(FaviconServiceTest, InternalPagesAlwaysShowTheProductLogo) {
    service->store("https://history/", "https://history/icon.png");
    EXPECT_EQ(service->cached("vx://history"), std::string(QuorelleAssets::logoFaviconReference));
    EXPECT_EQ(service->cached(" VX://Settings "), std::string(QuorelleAssets::logoFaviconReference));
    EXPECT_EQ(service->cached("https://history/"), "https://history/icon.png");
}

TEST(FaviconResolveTest, HrefsAreMadeAbsoluteAgainstThePage) {
    using F = FaviconService;
    EXPECT_EQ(F::resolve("icons/a.png", "https://site.example/dir/page.html"), "https://site.example/dir/icons/a.png");
    EXPECT_EQ(F::resolve("/favicon.png?v=2", "https://site.example/dir/page"), "https://site.example/favicon.png?v=2");
    EXPECT_EQ(F::resolve("//cdn.example/i.ico", "https://site.example/"), "https://cdn.example/i.ico");
    EXPECT_EQ(F::resolve("https://other.example/i.ico", "https://site.example/"), "https://other.example/i.ico");
    // A page address that does not parse keeps only hrefs that look like web addresses.
    EXPECT_EQ(F::resolve("http://x.example/i.ico", "not a page"), "http://x.example/i.ico");
    EXPECT_EQ(F::resolve("icons/a.png", "not a page"), std::nullopt);
    EXPECT_EQ(F::resolve("HTTP-less", "not a page"), std::nullopt);
}

TEST(FaviconPageScriptTest, TheScriptIsTheFixedIconLinkFinder) {
    EXPECT_EQ(FaviconService::pageIconScript.size(), 352u);
    EXPECT_TRUE(FaviconService::pageIconScript.starts_with("(function() {\n"));
    EXPECT_TRUE(FaviconService::pageIconScript.ends_with("  return null;\n})();"));
}

// A page that answers the icon script with what the test gives it.
class AnsweringView : public IScriptableView {
public:
    std::optional<std::string> currentURL() const override { return std::nullopt; }
    void evaluateScript(const std::string& script, std::function<void(ScriptResult)> done) override {
        scripts.push_back(script);
        done(answer);
    }
    ScriptResult answer;
    std::vector<std::string> scripts;
};

TEST_F(FaviconServiceTest, ThePagesDeclaredIconIsResolvedCachedAndPassedOn) {
    AnsweringView view;
    view.answer = {std::nullopt, R"("icons/site.png")"};
    auto delivery = std::make_shared<Delivery>();
    auto record = [delivery](std::optional<std::string> icon) {
        ++delivery->calls;
        delivery->icon = std::move(icon);
    };
    service->fetch(view, "https://site.example/dir/page", record);
    EXPECT_EQ(delivery->calls, 0);  // only on a later turn of the main queue
    queue->drain();
    EXPECT_EQ(delivery->icon, "https://site.example/dir/icons/site.png");
    EXPECT_EQ(view.scripts, std::vector<std::string>{std::string(FaviconService::pageIconScript)});
    EXPECT_EQ(service->cached("https://site.example/"), "https://site.example/dir/icons/site.png");

    // A page declaring no icon, or a failed script, gives nothing and leaves the entry.
    for (ScriptResult answer : {ScriptResult{std::nullopt, "null"}, ScriptResult{std::nullopt, R"("")"},
                                ScriptResult{"SyntaxError", ""}}) {
        view.answer = answer;
        service->fetch(view, "https://site.example/other", record);
        queue->drain();
        EXPECT_EQ(delivery->icon, std::nullopt);
    }
    EXPECT_EQ(delivery->calls, 4);
    EXPECT_EQ(service->cached("https://site.example/"), "https://site.example/dir/icons/site.png");
    settle(20ms);
    EXPECT_TRUE(server.requests.empty());
}

}  // namespace
}  // namespace quorelle::testing
