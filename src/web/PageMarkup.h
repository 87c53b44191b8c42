#pragma once

#include "model/Text.h"
#include "web/InternalHTMLStyles.h"

#include <string>
#include <string_view>

namespace quorelle {

// Small markup parts shared by the list pages (history, bookmarks,
// downloads). Arguments named `script` are attribute-ready: every value in
// them has already gone through InternalHTMLStyles::scriptArg.
struct PageMarkup {
    // <button class="…" onclick="…">label</button>; the label is plain text.
    static std::string button(std::string_view classes, std::string_view script, std::string_view label) {
        std::string out = "<button class=\"";
        out += classes;
        out += "\" onclick=\"";
        out += script;
        out += "\">";
        out += InternalHTMLStyles::escapeHTML(label);
        out += "</button>";
        return out;
    }

    // The 16-point icon at the start of a list row. Only web and data:image
    // addresses are drawn; anything else (a script address, an empty or
    // unreadable one) shows the logo instead.
    static std::string rowIcon(std::string_view href) {
        std::string out = "<img src=\"";
        out += InternalHTMLStyles::escapeHTML(
            InternalHTMLStyles::drawableImageSource(href).value_or(InternalHTMLStyles::internalFaviconHref()));
        out += "\" alt=\"\" style=\"width:16px;height:16px;border-radius:3px;margin-top:2px\">";
        return out;
    }

    // The row's title and one line of detail; `detail` is finished markup.
    static std::string meta(std::string_view title, std::string_view detail) {
        std::string out = "<div class=\"meta\"><strong>";
        out += InternalHTMLStyles::escapeHTML(title);
        out += "</strong><small>";
        out += detail;
        out += "</small></div>";
        return out;
    }

    // A row of buttons that sits inside a list row or beside a header.
    static std::string inlineButtonRow(std::string_view buttons) {
        std::string out = "<div class=\"btn-row\" style=\"margin:0\">";
        out += buttons;
        out += "</div>";
        return out;
    }

    // "vxNavigate('…')" for any address, user data included.
    static std::string navigateScript(std::string_view url) {
        return "vxNavigate('" + InternalHTMLStyles::scriptArg(url) + "')";
    }
};

}  // namespace quorelle
