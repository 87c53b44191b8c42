#include "support/HostileCorpus.h"
#include "support/StateTestSupport.h"
#include "web/BridgeToken.h"
#include "web/InternalPageProvider.h"
#include "web/InternalPageRenderer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quorelle {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

std::string titleOf(const std::string& html) {
    const auto start = html.find("<title>") + 7;
    return html.substr(start, html.find("</title>") - start);
}

// The token inside the bridge script of a document.
std::string embeddedToken(const std::string& html) {
    const std::string key = "token: '";
    const auto start = html.find(key);
    if (start == std::string::npos) return {};
    return html.substr(start + key.size(), 32);
}

class InternalPageProviderTest : public testing::StateTest {};

TEST_F(InternalPageProviderTest, EmptyAndInternalAddressesRenderTheNewTabPage) {
    auto state = makeState();
    for (const char* address : {"vx://", "vx://internal", "vx://newtab"}) {
        const auto page = InternalPageProvider::html(address, *state);
        ASSERT_TRUE(page) << address;
        EXPECT_EQ(titleOf(page->html), "New Tab") << address;
    }
}

TEST_F(InternalPageProviderTest, TabGroupsIsReachedOnlyByItsHyphenatedName) {
    auto state = makeState();
    const auto page = InternalPageProvider::html("vx://tab-groups", *state);
    ASSERT_TRUE(page);
    EXPECT_EQ(titleOf(page->html), "Tab Groups");
    EXPECT_FALSE(InternalPageProvider::html("vx://tabGroups", *state));
    EXPECT_FALSE(InternalPageProvider::html("vx://nosuchpage", *state));
}

TEST_F(InternalPageProviderTest, NotFoundPageNamesTheAddressOnceEscapedWithTwoButtons) {
    auto state = makeState();
    const RenderedPage page = InternalPageProvider::notFoundHTML("vx://nosuch?a=1&b=2", *state);
    EXPECT_EQ(titleOf(page.html), "Not Found");
    EXPECT_THAT(page.html, HasSubstr("<body><div class=\"page\">\n  <div class=\"page-header\">\n  <h1>Page not found</h1>\n"
                                     "  <p class=\"desc\">No internal page at vx://nosuch?a=1&amp;b=2</p>"));
    EXPECT_THAT(page.html, HasSubstr("<button class=\"btn btn-primary\" onclick=\"vxNavigate('vx://newtab')\">New Tab</button>"));
    EXPECT_THAT(page.html, HasSubstr("<button class=\"btn btn-secondary\" onclick=\"vxNavigate('vx://settings')\">Settings</button>"));
}

TEST_F(InternalPageProviderTest, EachRenderCarriesItsOwnFreshToken) {
    auto state = makeState();
    const auto first = InternalPageProvider::html("vx://settings", *state);
    const auto second = InternalPageProvider::html("vx://settings", *state);
    const RenderedPage missing = InternalPageProvider::notFoundHTML("vx://nope", *state);
    ASSERT_TRUE(first && second);
    for (const RenderedPage* page : {&*first, &*second, &missing}) {
        EXPECT_TRUE(BridgeToken::isWellFormed(page->token));
        EXPECT_EQ(embeddedToken(page->html), page->token);
    }
    EXPECT_NE(first->token, second->token);
    EXPECT_NE(first->token, missing.token);
}

TEST_F(InternalPageProviderTest, ContextSnapshotsTheStateOnLinux) {
    auto state = makeState();
    state->proxyTestResult.set(std::string("ok"));
    state->proxyTestError.set(std::string("bad"));
    const InternalPageContext context = InternalPageProvider::context(*state, InternalPageRoute::about);
    EXPECT_EQ(context.route, InternalPageRoute::about);
    EXPECT_EQ(context.platform, "Linux");
    EXPECT_EQ(context.version, InternalPageProvider::appVersion());
    EXPECT_FALSE(context.version.empty());
    EXPECT_EQ(context.build, "1");
    EXPECT_EQ(context.dataPath, store_->rootURL());
    EXPECT_EQ(context.proxyTestResult, std::optional<std::string>("ok"));
    EXPECT_EQ(context.proxyTestError, std::optional<std::string>("bad"));
    ASSERT_EQ(context.tabs.size(), state->tabs.get().size());
    EXPECT_EQ(context.tabs.front().get(), state->tabs.get().front().get());
    EXPECT_EQ(context.activeTab, state->activeTab());
    EXPECT_EQ(context.currentProfile.id, state->currentProfile().id);
    EXPECT_TRUE(BridgeToken::isWellFormed(context.bridgeToken));
}

TEST_F(InternalPageProviderTest, ContextAsksTheFaviconCacheWithoutTheNetwork) {
    auto state = makeState();
    web_.faviconCache["cached.example"] = "https://cached.example/icon.png";
    const InternalPageContext context = InternalPageProvider::context(*state, InternalPageRoute::newtab);
    EXPECT_EQ(context.cachedFaviconFor("https://cached.example/page"),
              std::optional<std::string>("https://cached.example/icon.png"));
    EXPECT_EQ(context.cachedFaviconFor("https://other.example/"), std::nullopt);
}

TEST(InternalPageRendererTest, EveryRouteHasItsDocumentTitle) {
    const std::vector<std::pair<InternalPageRoute, std::string>> titles{
        {InternalPageRoute::newtab, "New Tab"},       {InternalPageRoute::settings, "Settings"},
        {InternalPageRoute::history, "History"},      {InternalPageRoute::bookmarks, "Bookmarks"},
        {InternalPageRoute::downloads, "Downloads"},  {InternalPageRoute::profiles, "Profiles"},
        {InternalPageRoute::sessions, "Sessions"},    {InternalPageRoute::permissions, "Permissions"},
        {InternalPageRoute::privacy, "Privacy"},      {InternalPageRoute::security, "Security"},
        {InternalPageRoute::performance, "Performance"}, {InternalPageRoute::memory, "Memory"},
        {InternalPageRoute::themes, "Themes"},        {InternalPageRoute::shortcuts, "Shortcuts"},
        {InternalPageRoute::updates, "Updates"},      {InternalPageRoute::feedback, "Feedback"},
        {InternalPageRoute::tabGroups, "Tab Groups"}, {InternalPageRoute::passwords, "Passwords"},
        {InternalPageRoute::about, "About"},          {InternalPageRoute::flags, "Flags"},
        {InternalPageRoute::experiments, "Developer Mode"}, {InternalPageRoute::proxy, "Proxy"},
        {InternalPageRoute::sync, "Sync"},            {InternalPageRoute::extensions, "Extensions"},
    };
    ASSERT_EQ(titles.size(), InternalPageRoute::count);
    for (const auto& [route, title] : titles) {
        const std::string html = InternalPageRenderer::html(route, testing::hostile::plainContext(route));
        EXPECT_EQ(titleOf(html), title) << route.rawValue();
    }
}

TEST(InternalPageRendererTest, SyncAndExtensionsShowFixedTexts) {
    const std::string sync = InternalPageRenderer::html(InternalPageRoute::sync, InternalPageContext{});
    EXPECT_THAT(sync, HasSubstr("<div class=\"page\" style=\"text-align:center;padding-top:48px\"><h1>Quorelle Sync</h1>"
                                "<p class=\"desc\">Sync is not currently available.</p>"
                                "<p class=\"desc\">Future versions may support secure sync across your devices.</p></div>"));
    const std::string extensions = InternalPageRenderer::html(InternalPageRoute::extensions, InternalPageContext{});
    EXPECT_THAT(extensions,
                HasSubstr("<h1>Extensions</h1><p class=\"desc\">Extensions are reserved for a future version of Quorelle.</p>"));
}

// Every page, with hostile text in every field of the context: no value may
// open or close an element, add an attribute, leave a script or CSS string,
// or become a script address.
TEST(InternalPageRendererTest, HostileDataStaysInsideItsContextOnEveryPage) {
    for (InternalPageRoute route : InternalPageRoute::allCases()) {
        for (std::size_t offset = 0; offset < testing::hostile::payloads().size(); ++offset) {
            const std::string hostile = InternalPageRenderer::html(route, testing::hostile::hostileContext(route, offset));
            const std::string plain = InternalPageRenderer::html(route, testing::hostile::plainContext(route, offset));
            EXPECT_THAT(testing::hostile::problems(hostile, plain), IsEmpty())
                << "vx://" << route.rawValue() << " offset " << offset;
        }
    }
}

TEST_F(InternalPageProviderTest, HostileAddressStaysInsideTheNotFoundPage) {
    auto state = makeState();
    for (const std::string& payload : testing::hostile::payloads()) {
        const std::string hostile = InternalPageProvider::notFoundHTML("vx://" + payload, *state).html;
        const std::string plain = InternalPageProvider::notFoundHTML("vx://plain", *state).html;
        EXPECT_THAT(testing::hostile::problems(hostile, plain), IsEmpty()) << payload;
    }
}

TEST(InternalPageRendererTest, TheCheckerNoticesDataThatEscapes) {
    // Guards the guard: each way out is reported.
    const std::string plain = "<a onclick=\"vxNavigate('x')\">t</a><style>a{}</style>";
    EXPECT_THAT(testing::hostile::problems("<a onclick=\"vxNavigate('QZX');alert(1)//')\">t</a><style>a{}</style>", plain),
                Not(IsEmpty()));
    EXPECT_THAT(testing::hostile::problems("<a onclick=\"vxNavigate('x')\">t<img src=x></a><style>a{}</style>", plain),
                Not(IsEmpty()));
    EXPECT_THAT(testing::hostile::problems("<a onclick=\"vxNavigate('x')\">t</a><style>a{}QZX</style>", plain),
                Not(IsEmpty()));
    EXPECT_THAT(testing::hostile::problems("<a href=\" javascript:alert(1)\" onclick=\"vxNavigate('x')\">t</a><style>a{}</style>",
                                           "<a href=\"#\" onclick=\"vxNavigate('x')\">t</a><style>a{}</style>"),
                Not(IsEmpty()));
    EXPECT_THAT(testing::hostile::problems(plain, plain), IsEmpty());
}

}  // namespace
}  // namespace quorelle
