#pragma once

#include "model/Text.h"
#include "web/InternalHTMLStyles.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorelle {

// Small markup parts shared by the internal pages. Arguments named `script`
// are attribute-ready: every value in them has already gone through
// InternalHTMLStyles::scriptArg.
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

    // A page of the usual width: "<div class="page">", the header, the rest
    // of the body (finished markup), the closing div.
    static std::string page(std::string_view title, std::string_view description, std::string_view content) {
        std::string out = "<div class=\"page\">\n  ";
        out += InternalHTMLStyles::pageHeader(title, description);
        out += "\n";
        out += content;
        out += "\n</div>";
        return out;
    }

    // The header of a list page with its buttons beside it, on one row.
    static std::string headerRow(std::string_view title, std::string_view description, std::string_view buttons) {
        std::string out = "<div class=\"row-between\">";
        out += InternalHTMLStyles::pageHeader(title, description);
        out += buttons;
        out += "</div>\n";
        return out;
    }

    // <div class="card">…</div> around finished markup.
    static std::string card(std::string_view inner) {
        std::string out = "<div class=\"card\">";
        out += inner;
        out += "</div>";
        return out;
    }

    // One <option> of a <select>; value and label are plain text.
    static std::string option(std::string_view value, std::string_view label, bool selected) {
        std::string out = "<option value=\"";
        out += InternalHTMLStyles::escapeHTML(value);
        out += selected ? "\" selected>" : "\" >";
        out += InternalHTMLStyles::escapeHTML(label);
        out += "</option>";
        return out;
    }

    // The label above a form field; `label` is plain text. With `forID`, the
    // label names the field with that id.
    static std::string fieldLabel(std::string_view label, std::string_view forID = {}) {
        std::string out = "<label class=\"field-label\"";
        if (!forID.empty()) {
            out += " for=\"";
            out += InternalHTMLStyles::escapeHTML(forID);
            out += "\"";
        }
        out += ">";
        out += InternalHTMLStyles::escapeHTML(label);
        out += "</label>";
        return out;
    }

    // The style of a label that holds a checkbox and its text on one line.
    static constexpr std::string_view checkboxLabelStyle = "display:flex;align-items:center;gap:8px;font-size:14px;";

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

    // The rows of a list, joined, to be placed alone inside their container.
    // A long list shows its first rows with the page and keeps the others in
    // inert templates, which a script moves into place a batch at a time
    // after the first frame: thousands of rows would otherwise hold back the
    // page's first paint by about a second. Once the script has run (and
    // removed itself), the document holds exactly the joined rows.
    static std::string stagedRows(const std::vector<std::string>& rows) {
        constexpr std::size_t shownFirst = 100;
        constexpr std::size_t perBatch = 200;
        std::string out;
        std::size_t bytes = 0;
        for (const std::string& row : rows) bytes += row.size();
        out.reserve(bytes + 512 + rows.size() / perBatch * 40);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const bool laterBatchStarts = i >= shownFirst && (i - shownFirst) % perBatch == 0;
            if (laterBatchStarts) out += i == shownFirst ? "<template class=\"vx-later\">" : "</template><template class=\"vx-later\">";
            out += rows[i];
        }
        if (rows.size() <= shownFirst) return out;
        out += "</template><script>(function (script) {\n"
               "  var list = script.parentNode;\n"
               "  script.remove();\n"
               "  var later = list.querySelectorAll(':scope > template.vx-later'), i = 0;\n"
               "  function next() {\n"
               "    if (i >= later.length) return;\n"
               "    var batch = later[i++];\n"
               "    batch.replaceWith(batch.content);\n"
               "    setTimeout(next, 0);\n"
               "  }\n"
               "  requestAnimationFrame(function () { setTimeout(next, 0); });\n"
               "})(document.currentScript);</script>";
        return out;
    }

    // "vxNavigate('…')" for any address, user data included.
    static std::string navigateScript(std::string_view url) {
        return "vxNavigate('" + InternalHTMLStyles::scriptArg(url) + "')";
    }
};

}  // namespace quorelle
