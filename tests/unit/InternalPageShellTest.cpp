#include "model/Text.h"
#include "model/ThemeSettings.h"
#include "web/BridgeToken.h"
#include "web/CssEscape.h"
#include "web/InternalHTMLStyles.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace quorelle {
namespace {

using S = InternalHTMLStyles;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;

constexpr std::string_view kToken = "00112233445566778899aabbccddeeff";

std::string cssValue(const std::string& css, const std::string& property) {
    const auto start = css.find(property + ": ");
    if (start == std::string::npos) return {};
    const auto from = start + property.size() + 2;
    return css.substr(from, css.find(';', from) - from);
}

TEST(InternalPageShellTest, DocumentPiecesComeInOrderWithTheTitleEscaped) {
    const std::string html = S::wrap("<b>&", "<p id=\"body\">x</p>", ThemeSettings::chromeDefault(false), ".extra{}", kToken);
    EXPECT_THAT(html, StartsWith("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"));
    EXPECT_THAT(html, HasSubstr("<title>&lt;b&gt;&amp;</title>\n<style>:root {\n  --vx-frame: "));
    EXPECT_THAT(html, HasSubstr(std::string(S::baseCSS()) + ".extra{}</style>\n</head>\n<body><p id=\"body\">x</p><script>"));
    EXPECT_TRUE(text::endsWith(html, "</script></body>\n</html>"));
}

TEST(InternalPageShellTest, ModeChoosesColorSchemeAndFixedWarningColours) {
    const std::string light = S::wrap("t", "", ThemeSettings::chromeDefault(false), "", kToken);
    const std::string dark = S::wrap("t", "", ThemeSettings::chromeDefault(true), "", kToken);
    EXPECT_THAT(light, HasSubstr("<meta name=\"color-scheme\" content=\"light\">"));
    EXPECT_EQ(cssValue(light, "--vx-warn-bg"), "#fef7e0");
    EXPECT_THAT(dark, HasSubstr("<meta name=\"color-scheme\" content=\"dark\">"));
    EXPECT_EQ(cssValue(dark, "--vx-warn-bg"), "#3c2f1e");
}

TEST(InternalPageShellTest, CssVariablesListTwentyOnePropertiesWithWordmarkEqualToAccent) {
    ThemeSettings theme = ThemeSettings::chromeDefault(true);
    theme.colors.accent = "#A1b2C3";
    const std::string css = S::cssVariables(theme);
    EXPECT_THAT(css, StartsWith(":root {\n  --vx-frame: "));
    EXPECT_TRUE(text::endsWith(css, ";\n  --vx-wordmark: #A1b2C3;\n}"));
    EXPECT_EQ(cssValue(css, "--vx-accent"), "#A1b2C3");
    std::size_t count = 0;
    for (std::size_t at = css.find("--vx-"); at != std::string::npos; at = css.find("--vx-", at + 1)) ++count;
    EXPECT_EQ(count, 21u);
}

TEST(InternalPageShellTest, InvalidStoredColoursBecomeTheDefaultOfTheCurrentMode) {
    for (bool dark : {false, true}) {
        ThemeSettings theme = ThemeSettings::chromeDefault(dark);
        theme.colors.primaryText = "red;}</style><script>alert(1)</script>";
        theme.colors.border = "#12345";
        const std::string css = S::cssVariables(theme);
        EXPECT_EQ(cssValue(css, "--vx-text"), ThemeColors::chromeDefault(dark).primaryText);
        EXPECT_EQ(cssValue(css, "--vx-border"), ThemeColors::chromeDefault(dark).border);
        EXPECT_THAT(css, Not(HasSubstr("</style>")));
    }
}

TEST(InternalPageShellTest, EscapeHtmlReplacesFourCharactersAndEscapesEntitiesAgain) {
    EXPECT_EQ(S::escapeHTML("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e'f");
    EXPECT_EQ(S::escapeHTML("&amp;"), "&amp;amp;");
    EXPECT_EQ(S::escapeHTML(""), "");
}

TEST(InternalPageShellTest, EscapeJsCoversQuotesLineBreaksAndScriptEnds) {
    EXPECT_EQ(S::escapeJS("\\'"), "\\\\\\'");
    EXPECT_EQ(S::escapeJS("a\nb\rc"), "a\\nb\\rc");
    EXPECT_EQ(S::escapeJS("x\u2028y\u2029z"), "x\\u2028y\\u2029z");
    EXPECT_THAT(S::escapeJS("</script><!--"), Not(HasSubstr("<")));
    EXPECT_EQ(S::escapeJS("\"double\" stays"), "\"double\" stays");
    EXPECT_EQ(S::escapeJS("caf\u00e9 \u2026"), "caf\u00e9 \u2026");
}

TEST(InternalPageShellTest, ScriptArgumentsInsideAttributesCannotLeaveTheirString) {
    // In onclick="vxNavigate('…')" the attribute is decoded before the script
    // runs, so an entity for a quote must not survive as one.
    EXPECT_EQ(S::scriptArg("&#39;);alert(1);//"), "&amp;#39;);alert(1);//");
    EXPECT_EQ(S::scriptArg("a\"onmouseover=\"x"), "a&quot;onmouseover=&quot;x");
    EXPECT_EQ(S::scriptArg("it's"), "it\\'s");
}

TEST(InternalPageShellTest, PageHeaderEscapesBothTexts) {
    EXPECT_EQ(S::pageHeader("A<B", "x&y"),
              "<div class=\"page-header\">\n  <h1>A&lt;B</h1>\n  <p class=\"desc\">x&amp;y</p>\n</div>");
}

TEST(InternalPageShellTest, BridgeAddsTheRenderTokenToEveryMessage) {
    const std::string js = S::bridgeJS(kToken);
    EXPECT_THAT(js, HasSubstr("var message = Object.assign({}, payload, { token: '" + std::string(kToken) + "' });"));
    EXPECT_THAT(js, HasSubstr("if (h.quorelle) h.quorelle.postMessage(message);\n"
                              "  else if (h.vxBridge) h.vxBridge.postMessage(message);"));
    EXPECT_THAT(js, HasSubstr("  if (!h) return;\n"));
    for (const char* function : {"function vxAction(payload) { vxPost(payload); }",
                                 "function vxNavigate(url) { vxPost({ action: 'navigate', url: url }); }",
                                 "function vxSearchOrNavigate(query) { vxPost({ action: 'searchOrNavigate', query: query }); }",
                                 "function vxReload() { vxPost({ action: 'reloadInternal' }); }"})
        EXPECT_THAT(js, HasSubstr(function));
    EXPECT_THAT(S::wrap("t", "", ThemeSettings::chromeDefault(), "", kToken), HasSubstr(js));
}

TEST(InternalPageShellTest, BridgeTokensAreFreshOneHundredTwentyEightBitValues) {
    const std::string a = BridgeToken::generate();
    const std::string b = BridgeToken::generate();
    EXPECT_TRUE(BridgeToken::isWellFormed(a));
    EXPECT_TRUE(BridgeToken::isWellFormed(b));
    EXPECT_NE(a, b);
    EXPECT_FALSE(BridgeToken::isWellFormed(""));
    EXPECT_FALSE(BridgeToken::isWellFormed("0123456789ABCDEF0123456789abcdef"));
}

TEST(InternalPageShellTest, LogoIsTheBrowsersOwnShortAddressNeverAFileNorEmbedded) {
    const std::string html = S::wrap("t", "", ThemeSettings::chromeDefault(), "", kToken);
    EXPECT_THAT(html, HasSubstr("<link rel=\"icon\" href=\"vx-local://QuorelleLogo\""));
    EXPECT_THAT(html, Not(HasSubstr("file:")));
    EXPECT_THAT(html, Not(HasSubstr("base64")));
}

TEST(InternalPageShellTest, RowIconPrefersCustomThenWebFaviconThenLogo) {
    const std::string logo = S::internalFaviconHref();
    EXPECT_EQ(S::htmlIconHref("https://a.example", std::string(""), std::string("https://a.example/f.ico")),
              "https://a.example/f.ico");
    EXPECT_EQ(S::htmlIconHref("vx://settings", std::string("https://c.example/i.png"), std::nullopt),
              "https://c.example/i.png");
    EXPECT_EQ(S::htmlIconHref("https://a.example", std::nullopt, std::string("vx-local://QuorelleLogo")), logo);
    EXPECT_EQ(S::htmlIconHref("https://a.example", std::nullopt, std::string("file:///x/QuorelleLogo.png")), logo);
    EXPECT_EQ(S::htmlIconHref("https://a.example", std::nullopt, std::nullopt), logo);
    EXPECT_EQ(S::htmlIconHref("https://a.example", std::nullopt, std::string("")), "");
    EXPECT_EQ(S::htmlIconHref("vx://history", std::nullopt, std::string("https://a.example/f.ico")), logo);
}

TEST(InternalPageShellTest, OnlyDrawableImageAddressesReachAPage) {
    const std::string logo = S::internalFaviconHref();
    EXPECT_EQ(S::drawableImageSource("vx-local://QuorelleLogo"), logo);
    EXPECT_EQ(S::drawableImageSource("HTTPS://a.example/i.png"), "HTTPS://a.example/i.png");
    EXPECT_EQ(S::drawableImageSource("data:image/png;base64,AA"), "data:image/png;base64,AA");
    for (const char* refused : {"javascript:alert(1)", " JavaScript:alert(1)", "file:///etc/passwd",
                                "data:text/html,<script>", "vx://settings", ""})
        EXPECT_EQ(S::drawableImageSource(refused), std::nullopt) << refused;
    // A custom icon that is no image address falls back to the logo.
    EXPECT_EQ(S::htmlIconHref("https://a.example", std::string("javascript:alert(1)"), std::nullopt), logo);
}

TEST(InternalPageShellTest, CssStringEscapingKeepsAddressesInsideTheirString) {
    EXPECT_EQ(CssEscape::quotedString("/a/it's\\b&c.png"), "/a/it\\'s\\\\b&c.png");
    EXPECT_EQ(CssEscape::quotedString("x\ny\rz\tw"), "x\\a y\\d z\\9 w");
    EXPECT_THAT(CssEscape::quotedString("')</style><script>"), Not(HasSubstr("<")));
    EXPECT_THAT(CssEscape::quotedString("')</style><script>"), StartsWith("\\'"));
}

}  // namespace
}  // namespace quorelle
