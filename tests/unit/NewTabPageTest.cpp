#include "web/InternalPageContext.h"
#include "web/InternalPages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

namespace quorelle {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

ShortcutItem shortcut(std::string title, std::string url, std::int64_t sortOrder,
                      std::optional<std::string> favicon = std::nullopt) {
    ShortcutItem s;
    s.title = std::move(title);
    s.url = std::move(url);
    s.sortOrder = sortOrder;
    s.faviconURL = std::move(favicon);
    return s;
}

class NewTabPageTest : public ::testing::Test {
protected:
    NewTabPageTest() {
        context.route = InternalPageRoute::newtab;
        context.profileData.theme = ThemeSettings::chromeDefault(true);
        context.bridgeToken = "00112233445566778899aabbccddeeff";
        context.cachedFavicon = [this](const std::string& url) -> std::optional<std::string> {
            auto it = cache.find(url);
            if (it == cache.end()) return std::nullopt;
            return it->second;
        };
    }
    std::string render() const { return pages::newTabPage(context); }
    std::string shortcutsBlock() const {
        const std::string html = render();
        const auto start = html.find("<div class=\"shortcuts\">");
        return html.substr(start, html.find("<div class=\"customize\">") - start);
    }
    // The body rule's background value.
    std::string background() const {
        const std::string html = render();
        const std::string key = "body { background: ";
        const auto start = html.find(key) + key.size();
        return html.substr(start, html.find("; min-height: 100vh;", start) - start);
    }
    void setImage(std::optional<std::string> path) {
        context.profileData.theme.background.kind = ThemeBackground::BackgroundKind::image;
        context.profileData.theme.background.imagePath = std::move(path);
    }

    InternalPageContext context;
    std::map<std::string, std::string> cache;
};

TEST_F(NewTabPageTest, WithoutShortcutsOnlyTheAddTileIsShown) {
    EXPECT_EQ(shortcutsBlock(),
              "<div class=\"shortcuts\"><a class=\"shortcut\" href=\"#\" onclick=\"vxPost({action:'showShortcutsEditor'}); "
              "return false;\"><div class=\"icon\">+</div><span>Add shortcut</span></a></div>");
    const std::string html = render();
    EXPECT_THAT(html, HasSubstr("<div class=\"nt-wrap\"><div class=\"wordmark\">Quorelle</div>"));
    EXPECT_THAT(html, HasSubstr("onclick=\"vxPost({action:'showNewTabCustomize'})\">Customize</button>"));
    EXPECT_THAT(html, HasSubstr("<form class=\"search-box\" onsubmit=\"return vxNtSearch(event);\">"));
    EXPECT_THAT(html, HasSubstr("  if (!q) return false;\n  vxSearchOrNavigate(q);\n"));
}

TEST_F(NewTabPageTest, TilesFollowSortOrderAndKeepStoredOrderOnTies) {
    context.profileData.shortcuts = {shortcut("Late", "https://c.example", 5), shortcut("First", "https://a.example", 1),
                                     shortcut("Second", "https://b.example", 1)};
    const std::string block = shortcutsBlock();
    const auto first = block.find("<span>First</span>");
    const auto second = block.find("<span>Second</span>");
    const auto late = block.find("<span>Late</span>");
    EXPECT_LT(first, second);
    EXPECT_LT(second, late);
    EXPECT_LT(late, block.find("Add shortcut"));
}

TEST_F(NewTabPageTest, TileShowsLetterOrIconAsTheStoredIconDecides) {
    cache["https://known.example"] = "https://known.example/favicon.ico";
    context.profileData.shortcuts = {shortcut("émile", "https://known.example", 0, std::string("")),
                                     shortcut("Known", "https://known.example", 1),
                                     shortcut("", "https://unknown.example", 2)};
    const std::string block = shortcutsBlock();
    EXPECT_THAT(block, HasSubstr("<div class=\"icon\">É</div>\n  <span>émile</span>"));
    EXPECT_THAT(block, HasSubstr("<div class=\"icon\"><img src=\"https://known.example/favicon.ico\" alt=\"\" "
                                 "style=\"width:28px;height:28px;border-radius:50%\"></div>\n  <span>Known</span>"));
    EXPECT_THAT(block, HasSubstr("<div class=\"icon\"></div>\n  <span></span>"));
}

TEST_F(NewTabPageTest, TileAddressIsEscapedForScriptInsideTheAttribute) {
    context.profileData.shortcuts = {shortcut("Q", "https://x.example/it's", 0),
                                     shortcut("W", "https://y.example/\"&#39;);alert(1)//", 1)};
    const std::string block = shortcutsBlock();
    EXPECT_THAT(block, HasSubstr("onclick=\"vxNavigate('https://x.example/it\\'s'); return false;\""));
    EXPECT_THAT(block, HasSubstr("onclick=\"vxNavigate('https://y.example/&quot;&amp;#39;);alert(1)//'); return false;\""));
}

TEST_F(NewTabPageTest, ImageBackgroundServesLocalPathsThroughTheBrowserAndKeepsWebAddresses) {
    // An internal page cannot load file: images; the address names the path only by its digest.
    setImage("/home/me/Pictures/bg.png");
    EXPECT_EQ(background(), "url('vx-local://newtab-background/"
                            "83355c485ad73eee762f2b1591eaeac46d630b4b650e34480010b1c3cb69f75b') center/cover no-repeat fixed");
    setImage("HTTPS://Images.example/a.jpg?x=1&y=2");
    EXPECT_EQ(background(), "url('HTTPS://Images.example/a.jpg?x=1&y=2') center/cover no-repeat fixed");
}

TEST_F(NewTabPageTest, ImageAddressIsEscapedForCssNotForHtml) {
    setImage("https://x.example/it's\\a&b\n.png");
    EXPECT_EQ(background(), "url('https://x.example/it\\'s\\\\a&b\\a .png') center/cover no-repeat fixed");
    setImage("x');}</style><script>alert(1)</script>");
    EXPECT_THAT(render(), Not(HasSubstr("<script>alert")));
}

TEST_F(NewTabPageTest, ImageKindWithoutPathFallsBackToTheNewTabColour) {
    context.profileData.theme.colors.newTabBackground = "#102030";
    setImage(std::string(""));
    EXPECT_EQ(background(), "#102030");
    setImage(std::nullopt);
    EXPECT_EQ(background(), "#102030");
}

TEST_F(NewTabPageTest, SolidAndGradientBackgroundsEmitOnlyValidColours) {
    ThemeBackground& bg = context.profileData.theme.background;
    bg.kind = ThemeBackground::BackgroundKind::solid;
    bg.solidColor = "#ABCDEF";
    EXPECT_EQ(background(), "#ABCDEF");
    bg.solidColor = "red;}</style><script>alert(1)</script>";
    EXPECT_EQ(background(), ThemeBackground::defaultFor(true).solidColor);

    bg.kind = ThemeBackground::BackgroundKind::gradient;
    bg.gradientStart = "#000000";
    bg.gradientEnd = "url(javascript:x)";
    EXPECT_EQ(background(), "linear-gradient(135deg, #000000, " + ThemeBackground::defaultFor(true).gradientEnd + ")");

    context.profileData.theme.useDarkMode = false;
    EXPECT_EQ(background(), "linear-gradient(135deg, #000000, " + ThemeBackground::defaultFor(false).gradientEnd + ")");
}

}  // namespace
}  // namespace quorelle
