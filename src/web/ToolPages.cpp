#include "model/ThemePreset.h"
#include "web/InternalHTMLStyles.h"
#include "web/InternalPages.h"
#include "web/PageMarkup.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

// Appearance, shortcuts, updates, feedback, tab groups, passwords, about,
// flags and developer mode.
namespace quorelle::pages {

namespace {

using H = InternalHTMLStyles;

// A button whose label is plain text and whose script is attribute-ready.
std::string button(std::string_view classes, std::string_view script, std::string_view label) {
    return PageMarkup::button("btn " + std::string(classes), script, label);
}

std::string card(std::string_view inner) {
    return "<div class=\"card\">" + std::string(inner) + "</div>";
}

// "<div class="page">", the header, the rest of the body, the closing div.
std::string pageBody(std::string_view title, std::string_view description, std::string_view content) {
    std::string out = "<div class=\"page\">\n  " + H::pageHeader(title, description) + "\n";
    out.append(content);
    out += "\n</div>";
    return out;
}

// ---- themes ----------------------------------------------------------------

struct ColorField {
    std::string_view key;
    std::string_view label;
};

constexpr ColorField colorFields[] = {
    {"primaryText", "Primary text"},
    {"accent", "Accent / wordmark"},
    {"mutedText", "Muted text"},
    {"button", "Button"},
    {"newTabBackground", "New tab background"},
};

std::string presetButtons() {
    std::string out;
    for (const ThemePreset& preset : ThemePreset::all()) {
        out += "<button type=\"button\" class=\"btn btn-secondary preset-btn\" onclick=\"vxAction({action:'applyPreset', "
               "presetId:'" +
               H::scriptArg(preset.id) + "'})\">" + H::escapeHTML(preset.name) + "</button>";
    }
    return out;
}

std::string colorInputs(const ThemeSettings& theme) {
    // Only "#rrggbb" reaches the page; a damaged stored colour shows the
    // default theme's colour for the current mode.
    const ThemeColors colors = theme.colors.sanitized(theme.useDarkMode);
    std::string out;
    for (const ColorField& field : colorFields) {
        const std::string* value = colors.field(field.key);
        out += "<label class=\"field-label\">" + H::escapeHTML(field.label) + "</label>\n";
        out += "<input type=\"color\" value=\"" + H::escapeHTML(value ? *value : "#000000") + "\"\n";
        out += "  onchange=\"vxAction({action:'saveThemeColor', key:'" + H::scriptArg(field.key) +
               "', value:this.value}); vxReload();\">";
    }
    return out;
}

// ---- feedback --------------------------------------------------------------

constexpr std::string_view feedbackForm =
    "<select id=\"ftype\"><option>Bug report</option><option>Feature request</option>"
    "<option>General feedback</option></select>"
    "<textarea id=\"ftext\" rows=\"6\" placeholder=\"Your feedback\"></textarea>"
    "<input type=\"text\" id=\"fcontact\" placeholder=\"Contact (optional)\">";

constexpr std::string_view copyFeedbackScript = R"(<script>
function vxCopyFeedback() {
  var type = document.getElementById('ftype').value;
  var text = document.getElementById('ftext').value;
  var contact = document.getElementById('fcontact').value;
  vxAction({ action: 'exportFeedback', text: type + '\n' + text + '\n' + contact });
}
</script>)";

// ---- flags -----------------------------------------------------------------

struct Flag {
    std::string_view key;
    std::string_view label;
};

constexpr Flag flags[] = {
    {"smooth-scrolling", "Smooth scrolling"},
    {"tab-hover-cards", "Tab hover cards"},
};

constexpr std::string_view switchLabelStyle = "display:flex;align-items:center;gap:8px;font-size:14px;";

}  // namespace

std::string themesPage(const InternalPageContext& context) {
    std::string content = card("<h2>Presets</h2><div class=\"grid-2\">" + presetButtons() + "</div><div class=\"btn-row\">" +
                               button("btn-primary", "vxAction({action:'applyPreset', presetId:'black'})",
                                      "Chrome dark default") +
                               "</div>");
    content += card(
        "<h2>Colors</h2><p class=\"desc\">Edit colors below. The Quorelle wordmark on New Tab uses the accent "
        "color.</p>" +
        colorInputs(context.profileData.theme));
    content +=
        "<div class=\"card preview-card\"><h2>Preview</h2><div class=\"wordmark\" style=\"font-family:'Source Code "
        "Pro','SF Mono',Menlo,Monaco,Consolas,monospace;font-weight:700;font-size:32px;color:var(--vx-wordmark);"
        "text-align:center;padding:16px\">Quorelle</div></div>";
    return context.wrap("Themes", pageBody("Appearance", "Themes and colors — changes apply instantly", content));
}

std::string shortcutsPage(const InternalPageContext& context) {
    std::vector<const ShortcutItem*> ordered;
    for (const ShortcutItem& item : context.profileData.shortcuts) ordered.push_back(&item);
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const ShortcutItem* a, const ShortcutItem* b) { return a->sortOrder < b->sortOrder; });
    std::string rows;
    for (const ShortcutItem* item : ordered) {
        rows += "<div class=\"list-item\"><div class=\"meta\"><strong>" + H::escapeHTML(item->title) +
                "</strong><small>" + H::escapeHTML(item->url) + "</small></div></div>";
    }
    std::string content = card(rows) + "<div class=\"btn-row\">" +
                          button("btn-secondary", "vxNavigate('vx://newtab')", "Preview New Tab") + "</div>";
    return context.wrap("Shortcuts", pageBody("Shortcuts", "New Tab page tiles", content));
}

std::string updatesPage(const InternalPageContext& context) {
    std::string content = card("<h2>Platform</h2><p>" + H::escapeHTML(context.platform) +
                               "</p><p class=\"desc\">Updates are delivered through your installation method "
                               "(package manager or source build).</p>");
    std::string description = "Quorelle " + context.version + " (" + context.build + ")";
    return context.wrap("Updates", pageBody("Updates", description, content));
}

std::string feedbackPage(const InternalPageContext& context) {
    std::string content(feedbackForm);
    content += "<div class=\"btn-row\">" + button("btn-primary", "vxCopyFeedback()", "Copy feedback") + "</div>";
    std::string body = pageBody("Feedback", "Copied locally — nothing is sent to a server", content);
    body += copyFeedbackScript;
    return context.wrap("Feedback", body);
}

std::string tabGroupsPage(const InternalPageContext& context) {
    std::string content;
    for (const TabGroup& group : context.profileData.tabGroups) {
        content += card("<h2>" + H::escapeHTML(group.name) + "</h2><p>" + std::string(group.color.displayName()) +
                        " · " + std::to_string(group.tabIDs.size()) + " tabs</p>");
    }
    if (context.profileData.tabGroups.empty()) {
        content = "<div class=\"empty\">No tab groups. Create groups from the tab strip menu.</div>";
    }
    std::string body = "<div class=\"page\">" + H::pageHeader("Tab groups", "Organize tabs") + content + "</div>";
    return context.wrap("Tab Groups", body);
}

std::string passwordsPage(const InternalPageContext& context) {
    std::string content =
        "<div class=\"warn\">Open the password manager from the toolbar or use system authentication when "
        "exporting.</div><div class=\"btn-row\">" +
        button("btn-primary", "vxNavigate('vx://settings')", "Password settings") + "</div>";
    return context.wrap("Passwords", pageBody("Passwords", "Saved logins", content));
}

std::string aboutPage(const InternalPageContext& context) {
    std::string body = "<div class=\"page\" style=\"max-width:480px;text-align:center\">";
    body += card("<h1 style=\"font-size:26px;font-weight:500;margin:0 0 12px\">Quorelle</h1><p>Version " +
                 H::escapeHTML(context.version) + " (" + H::escapeHTML(context.build) + ")</p><p>Platform: " +
                 H::escapeHTML(context.platform) +
                 "</p><p>Engine: WebKit</p><p class=\"desc\">Data is stored locally on this device.</p>");
    body += "</div>";
    return context.wrap("About", body);
}

std::string flagsPage(const InternalPageContext& context) {
    const auto& stored = context.profileData.settings.flags;
    std::string rows;
    for (const Flag& flag : flags) {
        auto found = stored.find(std::string(flag.key));
        const bool on = found != stored.end() && found->second;
        rows += "<div class=\"list-item\"><div class=\"meta\"><strong>" + std::string(flag.label) +
                "</strong></div><input type=\"checkbox\" " + (on ? "checked" : "") +
                " onchange=\"vxAction({action:'toggleFlag', key:'" + H::scriptArg(flag.key) +
                "', value:this.checked})\"></div>";
    }
    std::string body = "<div class=\"page\"><div class=\"warn\">Experimental flags may change without notice.</div>\n  " +
                       H::pageHeader("Flags", "Experimental features") + "\n" + card(rows) + "\n</div>";
    return context.wrap("Flags", body);
}

std::string experimentsPage(const InternalPageContext& context) {
    const bool on = context.profileData.settings.developerMode;
    std::string control = "<label style=\"" + std::string(switchLabelStyle) + "\"><input type=\"checkbox\" " +
                          (on ? "checked" : "") +
                          " onchange=\"vxAction({action:'setDeveloperMode', value:this.checked})\"> Enable Developer "
                          "Mode</label>";
    std::string body =
        "<div class=\"page\"><div class=\"warn\">Developer Mode enables advanced diagnostics. Off by default.</div>\n  " +
        H::pageHeader("Developer Mode", "Advanced tools") + "\n" + card(control) + "\n</div>";
    return context.wrap("Developer Mode", body);
}

}  // namespace quorelle::pages
