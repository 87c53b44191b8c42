#include "web/InternalHTMLStyles.h"

#include "model/Text.h"

#include "model/QuorelleAssets.h"
#include "model/ThemeColors.h"
#include "web/LocalResourceScheme.h"

#include <array>
#include <utility>

namespace quorelle {

namespace {

// The warning and danger colours are fixed per mode, not part of a theme.
struct FixedColors {
    std::string_view warnBg, warnBorder, warnText, dangerBg, dangerText;
};
constexpr FixedColors kLightFixed{"#fef7e0", "#f9ab00", "#202124", "#fce8e6", "#d93025"};
constexpr FixedColors kDarkFixed{"#3c2f1e", "#8a6d3b", "#fdd663", "#3c2020", "#f28b82"};

// The bytes of `characters`, as a table for scanning.
constexpr std::array<bool, 256> byteSet(std::string_view characters) {
    std::array<bool, 256> set{};
    for (char c : characters) set[static_cast<unsigned char>(c)] = true;
    return set;
}

// Copies `text`, letting replace() write each byte of `special` (and say how
// many bytes it took); the runs in between are copied whole.
template <typename Replace>
std::string escaped(std::string_view text, const std::array<bool, 256>& special, Replace&& replace) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (!special[static_cast<unsigned char>(text[i])]) {
            ++i;
            continue;
        }
        out.append(text, start, i - start);
        i += replace(out, text, i);
        start = i;
    }
    out.append(text, start);
    return out;
}

}  // namespace

std::string InternalHTMLStyles::wrap(std::string_view title, std::string_view body, const ThemeSettings& theme,
                                     std::string_view extraHead, std::string_view bridgeToken) {
    std::string out;
    out.reserve(body.size() + extraHead.size() + 10000);
    out += "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    out += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1.0, viewport-fit=cover\">\n";
    out += "<meta name=\"color-scheme\" content=\"";
    out += theme.useDarkMode ? "dark" : "light";
    out += "\">\n<link rel=\"icon\" href=\"";
    out += escapeHTML(internalFaviconHref());
    out += "\" type=\"image/png\">\n<title>";
    out += escapeHTML(title);
    out += "</title>\n<style>";
    out += cssVariables(theme);
    out += baseCSS();
    out += extraHead;
    out += "</style>\n</head>\n<body>";
    out += body;
    out += "<script>";
    out += bridgeJS(bridgeToken);
    out += "</script></body>\n</html>";
    return out;
}

std::string InternalHTMLStyles::cssVariables(const ThemeSettings& theme) {
    const ThemeColors c = theme.colors.sanitized(theme.useDarkMode);
    const FixedColors& f = theme.useDarkMode ? kDarkFixed : kLightFixed;
    const std::array<std::pair<std::string_view, std::string_view>, 21> properties{{
        {"--vx-frame", c.browserFrame},
        {"--vx-toolbar", c.toolbar},
        {"--vx-active-tab", c.activeTab},
        {"--vx-inactive-tab", c.inactiveTab},
        {"--vx-omnibox", c.omnibox},
        {"--vx-omnibox-focus", c.omniboxFocused},
        {"--vx-text", c.primaryText},
        {"--vx-muted", c.mutedText},
        {"--vx-border", c.border},
        {"--vx-accent", c.accent},
        {"--vx-button", c.button},
        {"--vx-button-text", c.buttonText},
        {"--vx-card", c.cardBackground},
        {"--vx-page-bg", c.internalPageBackground},
        {"--vx-nt-bg", c.newTabBackground},
        {"--vx-warn-bg", f.warnBg},
        {"--vx-warn-border", f.warnBorder},
        {"--vx-warn-text", f.warnText},
        {"--vx-danger-bg", f.dangerBg},
        {"--vx-danger-text", f.dangerText},
        {"--vx-wordmark", c.accent},
    }};
    std::string out = ":root {";
    bool first = true;
    for (const auto& [name, value] : properties) {
        out += first ? "\n  " : ";\n  ";
        first = false;
        out += name;
        out += ": ";
        out += value;
    }
    out += ";\n}";
    return out;
}

std::string InternalHTMLStyles::bridgeJS(std::string_view bridgeToken) {
    std::string out =
        "function vxPost(payload) {\n"
        "  var h = window.webkit && window.webkit.messageHandlers;\n"
        "  if (!h) return;\n"
        "  var message = Object.assign({}, payload, { token: '";
    out += escapeJS(bridgeToken);
    out +=
        "' });\n"
        "  if (h.quorelle) h.quorelle.postMessage(message);\n"
        "  else if (h.vxBridge) h.vxBridge.postMessage(message);\n"
        "}\n"
        "function vxAction(payload) { vxPost(payload); }\n"
        "function vxNavigate(url) { vxPost({ action: 'navigate', url: url }); }\n"
        "function vxSearchOrNavigate(query) { vxPost({ action: 'searchOrNavigate', query: query }); }\n"
        "function vxReload() { vxPost({ action: 'reloadInternal' }); }\n";
    return out;
}

std::string InternalHTMLStyles::firstPaintColor(const ThemeSettings& theme, bool newTabPage) {
    const ThemeColors colors = theme.colors.sanitized(theme.useDarkMode);
    if (!newTabPage) return colors.internalPageBackground;
    const ThemeBackground background = theme.background.sanitized(theme.useDarkMode);
    switch (background.kind) {
        case ThemeBackground::BackgroundKind::solid:
            return background.solidColor;
        case ThemeBackground::BackgroundKind::gradient:
            return background.gradientStart;
        case ThemeBackground::BackgroundKind::image:
            break;
    }
    return colors.newTabBackground;
}

std::string InternalHTMLStyles::escapeHTML(std::string_view text) {
    static constexpr auto special = byteSet("&<>\"");
    return escaped(text, special, [](std::string& out, std::string_view in, std::size_t at) {
        switch (in[at]) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            default: out += "&quot;"; break;
        }
        return std::size_t{1};
    });
}

std::string InternalHTMLStyles::escapeJS(std::string_view text) {
    static constexpr auto special = byteSet("\\'\n\r<\xE2");
    return escaped(text, special, [](std::string& out, std::string_view in, std::size_t at) {
        switch (in[at]) {
            case '\\': out += "\\\\"; break;
            case '\'': out += "\\'"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            // Any "<" could start "</script" or "<!--" in a script element.
            case '<': out += "\\x3C"; break;
            default:
                // U+2028 and U+2029 (E2 80 A8 / E2 80 A9) end a line in older
                // script engines.
                if (at + 2 < in.size() && static_cast<unsigned char>(in[at + 1]) == 0x80 &&
                    (static_cast<unsigned char>(in[at + 2]) == 0xA8 || static_cast<unsigned char>(in[at + 2]) == 0xA9)) {
                    out += static_cast<unsigned char>(in[at + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
                    return std::size_t{3};
                }
                out += in[at];
        }
        return std::size_t{1};
    });
}

std::string InternalHTMLStyles::scriptArg(std::string_view text) { return escapeHTML(escapeJS(text)); }

std::string InternalHTMLStyles::pageHeader(std::string_view title, std::string_view description) {
    std::string out = "<div class=\"page-header\">\n  <h1>";
    out += escapeHTML(title);
    out += "</h1>\n  <p class=\"desc\">";
    out += escapeHTML(description);
    out += "</p>\n</div>";
    return out;
}

const std::string& InternalHTMLStyles::internalFaviconHref() {
    static const std::string address = LocalResourceScheme::logoAddress();
    return address;
}

std::string InternalHTMLStyles::htmlIconHref(std::string_view pageURL, const std::optional<std::string>& customIconURL,
                                             const std::optional<std::string>& faviconURL) {
    std::string_view chosen = internalFaviconHref();
    if (customIconURL && !customIconURL->empty())
        chosen = *customIconURL;
    else if (!QuorelleAssets::isInternalURL(pageURL) && !QuorelleAssets::isQuorelleLogo(faviconURL) && faviconURL)
        chosen = *faviconURL;
    if (chosen.empty()) return {};  // a stored but empty icon stays empty
    return drawableImageSource(chosen).value_or(internalFaviconHref());
}

std::optional<std::string> InternalHTMLStyles::drawableImageSource(std::string_view href) {
    if (QuorelleAssets::isQuorelleLogo(std::string(href))) return internalFaviconHref();
    if (text::trimmedStartsWithIgnoringCase(href, "https://") || text::trimmedStartsWithIgnoringCase(href, "http://") ||
        text::trimmedStartsWithIgnoringCase(href, "data:image/"))
        return std::string(href);
    return std::nullopt;
}

}  // namespace quorelle
