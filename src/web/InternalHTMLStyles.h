#pragma once

#include "model/ThemeSettings.h"

#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

// The shell shared by every internal page and the load-error page: the
// document wrapper, the theme's CSS custom properties, the base stylesheet,
// the script bridge, text escaping and the page header block. Plain string
// building; no state.
//
// Escaping rules for page authors:
//   - text in markup or in a double-quoted attribute: escapeHTML(x);
//   - a value inside a single-quoted script string that sits inside a
//     double-quoted attribute (onclick="vxNavigate('…')"): scriptArg(x),
//     which is escapeHTML(escapeJS(x)); record ids too;
//   - a value inside a single-quoted string of a <script> element: escapeJS(x)
//     (it writes every "<" as \x3C, so the value cannot close the element);
//   - a colour anywhere in CSS or a style attribute: only "#rrggbb", from a
//     sanitized theme (ThemeColors::sanitized) or validHexColorOr.
struct InternalHTMLStyles {
    // The whole document. `bridgeToken` is the render's secret, which the
    // bridge adds to every message it posts (see bridgeJS).
    static std::string wrap(std::string_view title, std::string_view body, const ThemeSettings& theme,
                            std::string_view extraHead, std::string_view bridgeToken);

    // The ":root { … }" block of 21 custom properties. Invalid stored colours
    // are replaced by the default theme's colour for the current mode.
    static std::string cssVariables(const ThemeSettings& theme);
    // The fixed stylesheet shared by every page.
    static std::string_view baseCSS();
    // The colour a page of the browser's shows first, "#rrggbb": for the
    // new-tab page its solid colour, the start of its gradient, or under a
    // picture the theme's new-tab colour; for any other page (and the error
    // page) the theme's page colour.
    static std::string firstPaintColor(const ThemeSettings& theme, bool newTabPage);
    // The bridge script: vxPost, vxAction, vxNavigate, vxSearchOrNavigate and
    // vxReload. Every message posted carries "token": bridgeToken.
    static std::string bridgeJS(std::string_view bridgeToken);

    // & < > " become entities (the single quote is left alone).
    static std::string escapeHTML(std::string_view text);
    // For single-quoted script strings: backslash, single quote, LF, CR,
    // U+2028 and U+2029 are backslash-escaped, and "<" becomes \x3C.
    static std::string escapeJS(std::string_view text);
    // escapeHTML(escapeJS(text)): a script string inside an HTML attribute.
    static std::string scriptArg(std::string_view text);

    // <div class="page-header"> with the escaped title and description.
    static std::string pageHeader(std::string_view title, std::string_view description);

    // The logo as internal pages reference it: its short address, which the
    // browser answers itself (see LocalResourceScheme).
    static const std::string& internalFaviconHref();
    // An image address a page may draw: the logo (any of its names) as the
    // embedded logo, http(s) and data:image addresses as they are; anything
    // else (javascript:, file:, the logo reference's own scheme) is nothing.
    static std::optional<std::string> drawableImageSource(std::string_view href);
    // The icon address for a row of an internal page: the custom icon when
    // present and non-empty; else the favicon of a web page unless it is the
    // logo; else the logo. A stored but empty favicon stays empty.
    static std::string htmlIconHref(std::string_view pageURL, const std::optional<std::string>& customIconURL,
                                    const std::optional<std::string>& faviconURL);
};

}  // namespace quorelle
