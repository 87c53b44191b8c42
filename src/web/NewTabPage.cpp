#include "model/Text.h"
#include "web/CssEscape.h"
#include "web/InternalHTMLStyles.h"
#include "web/InternalPages.h"
#include "web/LocalResourceScheme.h"
#include "web/SortOrder.h"

#include <vector>

namespace quorelle::pages {

namespace {

constexpr std::string_view kNewTabCSS = R"CSS(
.nt-wrap {
  display: flex; flex-direction: column; align-items: center;
  min-height: 100dvh; width: 100%; max-width: 100%;
  padding: max(24px, env(safe-area-inset-top)) 16px max(24px, env(safe-area-inset-bottom));
  box-sizing: border-box; overflow-x: hidden;
}
.wordmark {
  font-family: 'Source Code Pro', 'SF Mono', Menlo, Monaco, Consolas, monospace;
  font-size: clamp(28px, 8vw, 40px); font-weight: 700; color: var(--vx-wordmark);
  margin-bottom: 24px; letter-spacing: -0.5px; text-align: center; max-width: 100%; overflow-wrap: break-word;
}
.search-box {
  width: min(520px, calc(100vw - 32px)); max-width: 100%; display: flex; align-items: center;
  background: var(--vx-card); border: 1px solid var(--vx-border); border-radius: 24px;
  padding: 4px 14px; box-shadow: 0 1px 4px rgba(0,0,0,.15); box-sizing: border-box;
}
.search-box .glyph { opacity: .55; margin-right: 8px; font-size: 16px; flex-shrink: 0; }
.search-box input {
  flex: 1; border: none; background: transparent; padding: 12px 4px; font-size: 16px;
  outline: none; margin: 0; color: var(--vx-text); min-width: 0;
}
.shortcuts {
  display: grid; grid-template-columns: repeat(auto-fill, minmax(72px, 1fr)); gap: 16px;
  margin-top: 28px; width: min(520px, calc(100vw - 32px));
}
.shortcut { text-align: center; color: var(--vx-text); text-decoration: none; min-width: 0; }
.shortcut:hover { text-decoration: none; }
.shortcut .icon {
  width: clamp(48px, 14vw, 56px); height: clamp(48px, 14vw, 56px); border-radius: 50%;
  background: var(--vx-card); border: 1px solid var(--vx-border);
  display: flex; align-items: center; justify-content: center;
  margin: 0 auto 8px; font-size: 17px; font-weight: 500; overflow: hidden;
}
.shortcut .icon img { width: 28px; height: 28px; object-fit: contain; }
.shortcut span {
  font-size: 11px; line-height: 1.25; display: -webkit-box; -webkit-line-clamp: 2;
  -webkit-box-orient: vertical; overflow: hidden; text-overflow: ellipsis;
}
.customize { margin-top: 28px; width: min(520px, calc(100vw - 32px)); }
.customize button {
  width: 100%; background: var(--vx-card); border: 1px solid var(--vx-border); border-radius: 20px;
  padding: 10px 16px; cursor: pointer; color: var(--vx-text); font-size: 14px; font-family: inherit;
}
@media (min-width: 701px) {
  .nt-wrap { justify-content: center; padding-bottom: 64px; }
  .wordmark { font-size: clamp(34px, 5vw, 52px); margin-bottom: 28px; }
  .shortcuts { gap: 20px; margin-top: 40px; }
}
@media (max-width: 390px) {
  .shortcuts { grid-template-columns: repeat(3, minmax(0, 1fr)); }
}
@media (min-width: 391px) and (max-width: 700px) {
  .shortcuts { grid-template-columns: repeat(4, minmax(0, 1fr)); }
}
)CSS";

constexpr std::string_view kSearchScript =
    "<script>\n"
    "function vxNtSearch(e) {\n"
    "  e.preventDefault();\n"
    "  var q = document.getElementById('ntq').value.trim();\n"
    "  if (!q) return false;\n"
    "  vxSearchOrNavigate(q);\n"
    "  return false;\n"
    "}\n"
    "</script>";

std::string shortcutTile(const ShortcutItem& shortcut, const InternalPageContext& context) {
    using S = InternalHTMLStyles;
    // A stored icon address wins even when empty; only a missing one asks the cache.
    const std::optional<std::string> icon =
        shortcut.faviconURL ? shortcut.faviconURL : context.cachedFaviconFor(shortcut.url);
    std::string iconContent;
    const auto source = icon && !icon->empty() ? S::drawableImageSource(*icon) : std::nullopt;
    if (source) {
        iconContent = "<img src=\"" + S::escapeHTML(*source) + "\" alt=\"\" style=\"width:28px;height:28px;border-radius:50%\">";
    } else {
        iconContent = S::escapeHTML(text::uppercased(text::firstCharacter(shortcut.title)));
    }
    return "<a class=\"shortcut\" href=\"#\" onclick=\"vxNavigate('" + S::scriptArg(shortcut.url) +
           "'); return false;\">\n  <div class=\"icon\">" + iconContent + "</div>\n  <span>" +
           S::escapeHTML(shortcut.title) + "</span>\n</a>";
}

// A web address as it is; a local file through the browser's own address
// for it, since an internal page cannot load file: images.
std::string imageBackground(const ThemeSettings& theme) {
    const auto localPath = LocalResourceScheme::localBackgroundPath(theme);
    const std::string address =
        localPath ? LocalResourceScheme::backgroundAddress(*localPath) : *theme.background.imagePath;
    return "url('" + CssEscape::quotedString(address) + "') center/cover no-repeat fixed";
}

// The CSS value of the page background; colours are always "#rrggbb".
std::string backgroundValue(const ThemeSettings& theme) {
    const ThemeBackground background = theme.background.sanitized(theme.useDarkMode);
    switch (background.kind) {
        case ThemeBackground::BackgroundKind::solid:
            return background.solidColor;
        case ThemeBackground::BackgroundKind::gradient:
            return "linear-gradient(135deg, " + background.gradientStart + ", " + background.gradientEnd + ")";
        case ThemeBackground::BackgroundKind::image:
            if (background.imagePath && !background.imagePath->empty()) return imageBackground(theme);
            break;
    }
    return theme.colors.sanitized(theme.useDarkMode).newTabBackground;
}

}  // namespace

std::string newTabPage(const InternalPageContext& context) {
    const std::vector<ShortcutItem> shortcuts = SortOrder::sorted(context.profileData.shortcuts);

    std::string body =
        "<div class=\"nt-wrap\"><div class=\"wordmark\">Quorelle</div>"
        "<form class=\"search-box\" onsubmit=\"return vxNtSearch(event);\">"
        "<span class=\"glyph\">\u2315</span>"
        "<input id=\"ntq\" type=\"text\" placeholder=\"Search or type a URL\" autocomplete=\"off\" spellcheck=\"false\">"
        "</form>"
        "<div class=\"shortcuts\">";
    for (const ShortcutItem& shortcut : shortcuts) body += shortcutTile(shortcut, context);
    body +=
        "<a class=\"shortcut\" href=\"#\" onclick=\"vxPost({action:'showShortcutsEditor'}); return false;\">"
        "<div class=\"icon\">+</div><span>Add shortcut</span></a>"
        "</div>"
        "<div class=\"customize\"><button type=\"button\" onclick=\"vxPost({action:'showNewTabCustomize'})\">Customize</button></div>"
        "</div>";
    body += kSearchScript;

    std::string extraCSS = "body { background: " + backgroundValue(context.profileData.theme) +
                           "; min-height: 100vh; overflow-x: hidden; margin: 0; padding: 0; }";
    extraCSS += kNewTabCSS;
    return context.wrap("New Tab", body, extraCSS);
}

}  // namespace quorelle::pages
