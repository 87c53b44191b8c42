// What web content may and may not make the browser do: the internal pages'
// script bridge, internal links, pop-ups and the navigation policy.
#include "webkit/WebTestSupport.h"

#include <regex>

namespace quorelle::testing {
namespace {

class BridgeTest : public WebTest {
protected:
    void SetUp() override {
        server.addHTML("/visited", "<html><head><title>Visited</title></head><body>x</body></html>");
        start();
        ASSERT_TRUE(loadPage(server.url("/visited")));
        ASSERT_TRUE(runUntil([&] { return !state->profileData.get().history.empty(); }));
    }
    bool historyKept() {
        runFor(300);
        return !state->profileData.get().history.empty();
    }
    std::string pageToken() {
        const std::string source = evalJS("document.documentElement.outerHTML");
        std::smatch match;
        static const std::regex tokenPattern("token: '([0-9a-f]{32})'");
        return std::regex_search(source, match, tokenPattern) ? match[1].str() : std::string();
    }
};

TEST_F(BridgeTest, AWebPageCannotPostActions) {
    server.addHTML("/hostile", "<html><body><script>"
                               "window.webkit.messageHandlers.quorelle.postMessage({action:'clearHistory'});"
                               "window.webkit.messageHandlers.vxBridge.postMessage({action:'clearHistory',"
                               "token:'00000000000000000000000000000000'});"
                               "</script></body></html>");
    ASSERT_TRUE(loadPage(server.url("/hostile")));
    EXPECT_TRUE(historyKept());
}

TEST_F(BridgeTest, AnInternalPageButtonActs) {
    ASSERT_TRUE(loadPage("vx://history"));
    evalJS("vxPost({action: 'clearHistory'})");
    EXPECT_TRUE(runUntil([&] { return state->profileData.get().history.empty(); }));
}

TEST_F(BridgeTest, OnlyThePagesCurrentTokenActs) {
    ASSERT_TRUE(loadPage("vx://history"));
    const std::string oldToken = pageToken();
    ASSERT_EQ(oldToken.size(), 32u);
    state->reloadHistoryPageIfActive();
    ASSERT_TRUE(runUntil([&] { return !pageToken().empty() && pageToken() != oldToken; }));
    evalJS("window.webkit.messageHandlers.quorelle.postMessage({action:'clearHistory', token:'" + oldToken + "'})");
    EXPECT_TRUE(historyKept());
    evalJS("window.webkit.messageHandlers.quorelle.postMessage({action:'clearHistory'})");
    EXPECT_TRUE(historyKept());
    evalJS("window.webkit.messageHandlers.quorelle.postMessage('clearHistory')");
    EXPECT_TRUE(historyKept());
    // The current token acts under either of the bridge's names.
    evalJS("window.webkit.messageHandlers.quorelle.postMessage({action:'createBookmarkFolder', name:'Kept', token:'" +
           pageToken() + "'})");
    EXPECT_TRUE(runUntil([&] { return state->profileData.get().bookmarkFolders.size() == 1; }));
    evalJS("window.webkit.messageHandlers.vxBridge.postMessage({action:'clearHistory', token:'" + pageToken() + "'})");
    EXPECT_TRUE(runUntil([&] { return state->profileData.get().history.empty(); }));
}

using PolicyTest = WebTest;

TEST_F(PolicyTest, OnlyAClickedLinkOpensAnInternalPage) {
    const std::string link = "<a id=about href='vx://about'>about</a>";
    const std::string blankLink = "<a id=blank target=_blank href='vx://history'>history</a>";
    server.addHTML("/script-click", "<html><head><title>Script</title></head><body>" + link +
                                        "<script>document.getElementById('about').click()</script></body></html>");
    server.addHTML("/script-blank", "<html><head><title>Script</title></head><body>" + blankLink +
                                        "<script>document.getElementById('blank').click()</script></body></html>");
    server.addHTML("/location", "<html><head><title>Location</title></head><body>"
                                "<script>location.href='vx://settings'</script></body></html>");
    server.addHTML("/frame", "<html><head><title>Frame</title></head><body>"
                             "<iframe src='vx://settings'></iframe></body></html>");
    server.addHTML("/links", "<html><head><title>Links</title></head><body>" + link + blankLink + "</body></html>");
    start();
    // Scripts, redirects and frames never turn the tab into a browser page.
    for (const char* path : {"/script-click", "/script-blank", "/location", "/frame"}) {
        state->navigateActive(server.url(path));
        ASSERT_TRUE(waitForPage(server.url(path))) << path;
        runFor(300);
        EXPECT_EQ(tab()->urlString.get(), server.url(path)) << path;
        EXPECT_FALSE(tab()->isInternal.get()) << path;
    }
    // Script run by the browser itself counts as a user gesture, like a real click.
    ASSERT_TRUE(loadPage(server.url("/links")));
    evalJS("document.getElementById('about').click()");
    ASSERT_TRUE(waitForPage("vx://about"));
    EXPECT_EQ(tab()->title.get(), "About Quorelle");
    EXPECT_TRUE(tab()->isInternal.get());

    // A clicked link that asks for a new window opens the page in this tab.
    ASSERT_TRUE(loadPage(server.url("/links")));
    evalJS("document.getElementById('blank').click()");
    ASSERT_TRUE(waitForPage("vx://history"));
    EXPECT_EQ(state->tabs.get().size(), 1u);
}

TEST_F(PolicyTest, BackFromADivertedInternalLinkShowsAWebPage) {
    server.addHTML("/links", "<html><head><title>Links</title></head><body>"
                             "<a id=about href='vx://about'>about</a></body></html>");
    start();
    ASSERT_TRUE(loadPage(server.url("/links")));
    evalJS("document.getElementById('about').click()");
    ASSERT_TRUE(waitForPage("vx://about"));
    // The internal page was shown in place of a link, so Back is the web list's.
    commands->post(TabCommand::goBack, tab()->id());
    EXPECT_TRUE(tab()->canGoBack.get());
    ASSERT_TRUE(waitForPage(server.url("/links")));
    EXPECT_FALSE(tab()->isInternal.get());
    EXPECT_TRUE(runUntil([&] { return tab()->title.get() == "Links"; }));
}

TEST_F(PolicyTest, PopUpsBecomeTabsOnlyForWebAddresses) {
    server.addHTML("/opener", "<html><body>opener</body></html>");
    server.addHTML("/popup", "<html><head><title>Pop</title></head><body>pop</body></html>");
    start();
    ASSERT_TRUE(loadPage(server.url("/opener")));
    for (const char* refused : {"file:///etc/passwd", "data:text/html,<b>x</b>", "vx://settings", "about:blank"}) {
        EXPECT_EQ(evalJS(std::string("window.open('") + refused + "') === null"), "true") << refused;
    }
    runFor(300);
    EXPECT_EQ(state->tabs.get().size(), 1u);
    EXPECT_EQ(evalJS("window.open('" + server.url("/popup") + "') === null"), "true");
    ASSERT_TRUE(runUntil([&] { return state->tabs.get().size() == 2; }));
    EXPECT_EQ(state->tabs.get().back()->urlString.get(), server.url("/popup"));
    EXPECT_EQ(state->activeTabID.get(), state->tabs.get().back()->id());
}

// A tab shows the icon of the page it shows: the page's declared icon, else
// none (its letter), never the logo of an internal page or the icon of the
// page before.
TEST_F(PolicyTest, TheTabsIconIsThePagesOwn) {
    server.addHTML("/iconic", "<html><head><title>Iconic</title><link rel='icon' href='/img/i.png'></head>"
                              "<body>x</body></html>");
    server.addHTML("/plain", "<html><head><title>Plain</title></head><body>x</body></html>");
    const std::string file = scratch_ + "/local.html";
    ASSERT_TRUE(g_file_set_contents(file.c_str(), "<title>Local</title>local", -1, nullptr));
    gchar* fileURI = g_filename_to_uri(file.c_str(), nullptr, nullptr);
    const std::string fileURL = fileURI;
    g_free(fileURI);
    start();
    ASSERT_EQ(tab()->faviconURL.get(), std::string(QuorelleAssets::logoFaviconReference));
    const auto visit = [&](const std::string& address) {
        // The page's history entry comes after its icon answer.
        return loadPage(address) && runUntil([&] {
                   const auto& history = state->profileData.get().history;
                   return !history.empty() && history.front().url == address;
               });
    };

    ASSERT_TRUE(visit(server.url("/plain")));
    EXPECT_EQ(tab()->faviconURL.get(), std::nullopt);
    EXPECT_EQ(tab()->faviconLetter.get(), "P");
    state->toggleBookmark();
    ASSERT_EQ(state->profileData.get().bookmarks.size(), 1u);
    EXPECT_FALSE(QuorelleAssets::isQuorelleLogo(state->profileData.get().bookmarks[0].faviconURL));

    ASSERT_TRUE(visit(server.url("/iconic")));
    EXPECT_EQ(tab()->faviconURL.get(), server.url("/img/i.png"));
    ASSERT_TRUE(visit(server.url("/plain")));
    EXPECT_EQ(tab()->faviconURL.get(), std::nullopt);

    ASSERT_TRUE(visit(server.url("/iconic")));
    ASSERT_TRUE(loadPage(fileURL));
    EXPECT_EQ(tab()->faviconURL.get(), std::nullopt);
}

}  // namespace
}  // namespace quorelle::testing
