#include "model/BrowserNavigation.h"
#include "model/BrowserTab.h"
#include "model/NavigationRouter.h"
#include "model/SearchEngine.h"

#include <gtest/gtest.h>
#include <glib.h>
#include <glib/gstdio.h>

#include <memory>
#include <string>

using quorelle::BrowserNavigation;
using quorelle::BrowserTab;
using quorelle::InternalPageRoute;
using quorelle::NavigationTarget;
using quorelle::SearchEngine;

namespace {

NavigationTarget resolve(std::string_view input) { return BrowserNavigation::resolve(input, SearchEngine::google()); }

NavigationTarget page(InternalPageRoute::Case c) { return NavigationTarget::internalPage(c); }
NavigationTarget web(std::string url) { return NavigationTarget::webURL(std::move(url)); }
NavigationTarget missing(std::string url) { return NavigationTarget::internalNotFound(std::move(url)); }
std::string google(std::string encoded) { return "https://www.google.com/search?q=" + encoded; }

TEST(BrowserNavigationResolve, EmptyAndNewTabForms) {
    for (const char* input : {"", "   ", " \n\t ", "vx://", "vx:///", "vx://internal", "VX://INTERNAL/settings",
                              "vx://Internal"})
        EXPECT_EQ(resolve(input), page(InternalPageRoute::newtab)) << input;
}

TEST(BrowserNavigationResolve, InternalAddressesIgnoreCaseButKeepItInTheCanonicalForm) {
    EXPECT_EQ(resolve("VX://SETTINGS"), page(InternalPageRoute::settings));
    EXPECT_EQ(resolve("  vx://history/extra/parts \n"), page(InternalPageRoute::history));
    EXPECT_EQ(resolve("vx://Nope"), missing("vx://Nope"));
    EXPECT_EQ(resolve("vx://settings?section=privacy/x"), missing("vx://settings?section=privacy"));
    EXPECT_EQ(resolve("vx://settings#top"), missing("vx://settings#top"));
    // A blank inside the name stays in it, so the address names no page.
    EXPECT_EQ(resolve("vx://new tab"), missing("vx://new tab"));
    EXPECT_EQ(resolve("vx:// settings"), missing("vx:// settings"));
    EXPECT_EQ(resolve(" vx://settings x/y "), missing("vx://settings x"));
    // urlString: the route's own lower-case address, or the canonical text as typed.
    EXPECT_EQ(BrowserNavigation::urlString(resolve("VX://Settings")), "vx://settings");
    EXPECT_EQ(BrowserNavigation::urlString(resolve("VX://Nope/x")), "vx://Nope");
    EXPECT_TRUE(resolve("vx://Nope").isInternal());
    EXPECT_FALSE(resolve("example.com").isInternal());
}

TEST(BrowserNavigationResolve, VxSchemeWithoutSlashesOpensTheNewTabPage) {
    EXPECT_EQ(resolve("vx:settings"), page(InternalPageRoute::newtab));
    EXPECT_EQ(resolve("VX:anything"), page(InternalPageRoute::newtab));
}

TEST(BrowserNavigationResolve, FileAddresses) {
    EXPECT_EQ(resolve("file:///etc/hosts"), web("file:///etc/hosts"));
    // An upper-case scheme skips the prefix rule but the scheme rule keeps it unchanged.
    EXPECT_EQ(resolve("FILE:///etc/hosts"), web("FILE:///etc/hosts"));

    gchar* dir = g_dir_make_tmp("quorelle-nav-XXXXXX", nullptr);
    ASSERT_NE(dir, nullptr);
    const std::string path = std::string(dir) + "/page one.html";
    ASSERT_TRUE(g_file_set_contents(path.c_str(), "<p>hi</p>", -1, nullptr));
    EXPECT_EQ(resolve(path), web("file://" + std::string(dir) + "/page%20one.html"));
    EXPECT_EQ(resolve(dir), web("file://" + std::string(dir)));
    g_remove(path.c_str());
    g_rmdir(dir);
    g_free(dir);

    // A path that does not exist and holds a dot becomes an https address with an empty host.
    EXPECT_EQ(resolve("/no/such/place.txt"), web("https:///no/such/place.txt"));
}

TEST(BrowserNavigationResolve, WebAddressesAndHosts) {
    EXPECT_EQ(resolve("https://Example.com/Path"), web("https://Example.com/Path"));
    EXPECT_EQ(resolve("HTTP://example.com"), web("HTTP://example.com"));
    EXPECT_EQ(resolve("example.com"), web("https://example.com"));
    EXPECT_EQ(resolve("  www.example.com/a?b=c  "), web("https://www.example.com/a?b=c"));
    EXPECT_EQ(resolve("example.com:8080"), web("https://example.com:8080"));
    EXPECT_EQ(resolve("127.0.0.1:8000/x"), web("https://127.0.0.1:8000/x"));
}

TEST(BrowserNavigationResolve, SearchFallbacks) {
    EXPECT_EQ(resolve("cats and dogs"), web(google("cats%20and%20dogs")));
    // A bare host with a port parses with the host as its scheme, has no dot: search.
    EXPECT_EQ(resolve("localhost:8080"), web(google("localhost%3A8080")));
    EXPECT_EQ(resolve("just-a-word"), web(google("just-a-word")));
    // Dotted text with a blank is a search.
    EXPECT_EQ(resolve("what is example.com"), web(google("what%20is%20example.com")));
    // Other schemes are not loaded directly.
    EXPECT_EQ(resolve("mailto:someone"), web(google("mailto%3Asomeone")));
    EXPECT_EQ(resolve("javascript:alert(1)"), web(google("javascript%3Aalert%281%29")));
    // Dotted text that is no valid address is searched rather than loaded.
    EXPECT_EQ(resolve("100%.example"), web(google("100%25.example")));
}

TEST(BrowserNavigationResolve, ReservedCharactersSearchExactlyWhatWasTyped) {
    EXPECT_EQ(resolve("AT&T"), web(google("AT%26T")));
    EXPECT_EQ(resolve("c++"), web(google("c%2B%2B")));
    EXPECT_EQ(resolve("a=b"), web(google("a%3Db")));
    EXPECT_EQ(resolve("#1 hit"), web(google("%231%20hit")));
    EXPECT_EQ(resolve("größe"), web(google("gr%C3%B6%C3%9Fe")));
}

TEST(BrowserNavigationResolve, LastResortIsTheTextItself) {
    for (const char* broken : {"not a url %s", "", "search?q=%s", "//s.example/?q=%s"}) {
        const SearchEngine engine{"custom", "Custom", broken};
        EXPECT_EQ(BrowserNavigation::resolve("hello", engine), web("hello")) << broken;
    }
}

TEST(BrowserNavigationCanonical, Forms) {
    EXPECT_EQ(BrowserNavigation::canonicalInternalURL(""), "vx://newtab");
    EXPECT_EQ(BrowserNavigation::canonicalInternalURL("VX:///"), "vx://newtab");
    EXPECT_EQ(BrowserNavigation::canonicalInternalURL("https://example.com"), "vx://newtab");
    EXPECT_EQ(BrowserNavigation::canonicalInternalURL(" VX://Settings/Advanced "), "vx://Settings");
    EXPECT_EQ(BrowserNavigation::canonicalInternalURL("vx:////downloads//x"), "vx://downloads");
    EXPECT_EQ(BrowserNavigation::canonicalInternalURL("vx://INTERNAL/x"), "vx://newtab");
    EXPECT_EQ(BrowserNavigation::canonicalInternalURL("vx://a?b/c"), "vx://a?b");
    EXPECT_EQ(quorelle::NavigationRouter::normalizeVX("vx://Tab-Groups/"), "vx://Tab-Groups");
    // Only the two ends are trimmed: white space inside the first component
    // stays in it, as typed, wherever it stands.
    for (const char* space : {"\t", "\n", " ", "\u00A0", "\u2003", "\u3000"}) {
        const std::string s = space;
        EXPECT_EQ(BrowserNavigation::canonicalInternalURL("vx://history" + s + "/x"), "vx://history" + s) << s;
        EXPECT_EQ(BrowserNavigation::canonicalInternalURL("vx://" + s + "History"), "vx://" + s + "History") << s;
        EXPECT_EQ(BrowserNavigation::canonicalInternalURL("vx://a" + s + "b"), "vx://a" + s + "b") << s;
        EXPECT_EQ(BrowserNavigation::canonicalInternalURL("vx://internal" + s + "x"), "vx://internal" + s + "x") << s;
    }
    EXPECT_EQ(BrowserNavigation::canonicalInternalURL("vx:// /x"), "vx:// ");
    EXPECT_EQ(BrowserNavigation::canonicalInternalURL("vx://a\xFF\xA0" "b/c"), "vx://a\xFF\xA0" "b");
}

TEST(BrowserNavigationDisplay, OmniboxTextForTabsAndAddresses) {
    EXPECT_EQ(BrowserNavigation::displayText(static_cast<const BrowserTab*>(nullptr)), "");
    BrowserTab tab;
    EXPECT_EQ(BrowserNavigation::displayText(&tab), "");
    for (const char* address : {"vx://newtab", "vx://", "about:blank", "ABOUT:BLANK", "vx://internal/x",
                                "https://x.test/?u=vx://internal"}) {
        tab.urlString.set(address);
        EXPECT_EQ(tab.displayURLForOmnibox(), "") << address;
    }
    tab.urlString.set("vx://history/more");
    EXPECT_EQ(tab.displayURLForOmnibox(), "vx://history");
    tab.urlString.set("vx://Unknown");
    EXPECT_EQ(tab.displayURLForOmnibox(), "vx://Unknown");
    tab.urlString.set("https://Example.com/a b");
    EXPECT_EQ(tab.displayURLForOmnibox(), "https://Example.com/a b");
    EXPECT_EQ(BrowserNavigation::displayText(std::string_view(" vx://settings ")), "vx://settings");
    EXPECT_EQ(BrowserNavigation::displayText(std::string_view("vx:// newtab")), "vx:// newtab");
    tab.urlString.set("vx://new tab");
    EXPECT_EQ(tab.displayURLForOmnibox(), "vx://new tab");
}

TEST(NavigationRouter, FacadeAgreesWithTheRules) {
    EXPECT_EQ(quorelle::NavigationRouter::resolve("vx://about", SearchEngine::bing()), "vx://about");
    EXPECT_EQ(quorelle::NavigationRouter::resolve("x y", SearchEngine::bing()),
              "https://www.bing.com/search?q=x%20y");
    EXPECT_TRUE(quorelle::NavigationRouter::isValidWebURL("HTTPS://a.b"));
    EXPECT_TRUE(quorelle::NavigationRouter::isValidWebURL("file:///tmp"));
    EXPECT_FALSE(quorelle::NavigationRouter::isValidWebURL("ftp://a.b"));
    EXPECT_FALSE(quorelle::NavigationRouter::isValidWebURL("a.b"));
}

}  // namespace
