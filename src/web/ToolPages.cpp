#include "model/ThemePreset.h"
#include "web/InternalHTMLStyles.h"
#include "web/InternalPages.h"
#include "web/PageMarkup.h"
#include "web/SortOrder.h"

#include <string>
#include <string_view>
#include <vector>

// Appearance, shortcuts, updates, feedback, tab groups, passwords, about,
// flags and developer mode.
namespace quorelle::pages {

namespace {

using H = InternalHTMLStyles;

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
        out += PageMarkup::fieldLabel(field.label) + "\n";
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

}  // namespace

std::string themesPage(const InternalPageContext& context) {
    std::string content =
        PageMarkup::card("<h2>Presets</h2><div class=\"grid-2\">" + presetButtons() + "</div><div class=\"btn-row\">" +
                         PageMarkup::button("btn btn-primary", "vxAction({action:'applyPreset', presetId:'black'})",
                                            "Chrome dark default") +
                         "</div>");
    content += PageMarkup::card(
        "<h2>Colors</h2><p class=\"desc\">Edit colors below. The Quorelle wordmark on New Tab uses the accent "
        "color.</p>" +
        colorInputs(context.profileData.theme));
    content +=
        "<div class=\"card preview-card\"><h2>Preview</h2><div class=\"wordmark\" style=\"font-family:'Source Code "
        "Pro','SF Mono',Menlo,Monaco,Consolas,monospace;font-weight:700;font-size:32px;color:var(--vx-wordmark);"
        "text-align:center;padding:16px\">Quorelle</div></div>";
    return context.wrap("Themes",
                        PageMarkup::page("Appearance", "Themes and colors — changes apply instantly", content));
}

std::string shortcutsPage(const InternalPageContext& context) {
    std::string rows;
    for (const ShortcutItem& item : SortOrder::sorted(context.profileData.shortcuts)) {
        rows += "<div class=\"list-item\">" + PageMarkup::meta(item.title, H::escapeHTML(item.url)) + "</div>";
    }
    std::string content = PageMarkup::card(rows) + "<div class=\"btn-row\">" +
                          PageMarkup::button("btn btn-secondary", "vxNavigate('vx://newtab')", "Preview New Tab") +
                          "</div>";
    return context.wrap("Shortcuts", PageMarkup::page("Shortcuts", "New Tab page tiles", content));
}

std::string updatesPage(const InternalPageContext& context) {
    std::string content =
        PageMarkup::card("<h2>Platform</h2><p>" + H::escapeHTML(context.platform) +
                         "</p><p class=\"desc\">Updates are delivered through your installation method "
                         "(package manager or source build).</p>");
    std::string description = "Quorelle " + context.version + " (" + context.build + ")";
    return context.wrap("Updates", PageMarkup::page("Updates", description, content));
}

std::string feedbackPage(const InternalPageContext& context) {
    std::string content(feedbackForm);
    content += "<div class=\"btn-row\">" + PageMarkup::button("btn btn-primary", "vxCopyFeedback()", "Copy feedback") +
               "</div>";
    std::string body = PageMarkup::page("Feedback", "Copied locally — nothing is sent to a server", content);
    body += copyFeedbackScript;
    return context.wrap("Feedback", body);
}

std::string tabGroupsPage(const InternalPageContext& context) {
    std::string content;
    for (const TabGroup& group : context.profileData.tabGroups) {
        content +=
            PageMarkup::card("<h2>" + H::escapeHTML(group.name) + "</h2><p>" + std::string(group.color.displayName()) +
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
        PageMarkup::button("btn btn-primary", "vxNavigate('vx://settings')", "Password settings") + "</div>";
    return context.wrap("Passwords", PageMarkup::page("Passwords", "Saved logins", content));
}

std::string aboutPage(const InternalPageContext& context) {
    std::string body = "<div class=\"page\" style=\"max-width:480px;text-align:center\">";
    body += PageMarkup::card("<h1 style=\"font-size:26px;font-weight:500;margin:0 0 12px\">Quorelle</h1><p>Version " +
                             H::escapeHTML(context.version) + " (" + H::escapeHTML(context.build) +
                             ")</p><p>Platform: " + H::escapeHTML(context.platform) +
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
                       H::pageHeader("Flags", "Experimental features") + "\n" + PageMarkup::card(rows) + "\n</div>";
    return context.wrap("Flags", body);
}

std::string experimentsPage(const InternalPageContext& context) {
    const bool on = context.profileData.settings.developerMode;
    std::string control = "<label style=\"" + std::string(PageMarkup::checkboxLabelStyle) +
                          "\"><input type=\"checkbox\" " + (on ? "checked" : "") +
                          " onchange=\"vxAction({action:'setDeveloperMode', value:this.checked})\"> Enable Developer "
                          "Mode</label>";
    std::string body =
        "<div class=\"page\"><div class=\"warn\">Developer Mode enables advanced diagnostics. Off by default.</div>\n  " +
        H::pageHeader("Developer Mode", "Advanced tools") + "\n" + PageMarkup::card(control) + "\n</div>";
    return context.wrap("Developer Mode", body);
}

}  // namespace quorelle::pages
