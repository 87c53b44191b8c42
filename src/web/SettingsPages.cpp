#include "web/DisplayFormat.h"
#include "web/InternalHTMLStyles.h"
#include "web/InternalPages.h"
#include "web/PageMarkup.h"

#include <array>
#include <string_view>
#include <vector>

// The settings hub and the downloads list. The history and bookmarks pages
// live in HistoryPage.cpp and BookmarksPage.cpp.
namespace quorelle::pages {
namespace {

struct SettingsLink {
    std::string_view title;
    std::string_view address;
    std::string_view description;
};

constexpr std::array<SettingsLink, 15> settingsLinks{{
    {"Profiles", "vx://profiles", "Manage people and guest mode"},
    {"Appearance", "vx://themes", "Themes, colors, and backgrounds"},
    {"New Tab Page", "vx://shortcuts", "Shortcuts on the new tab page"},
    {"Bookmarks", "vx://bookmarks", "Saved pages"},
    {"History", "vx://history", "Browsing history"},
    {"Privacy", "vx://privacy", "Clear browsing data"},
    {"Permissions", "vx://permissions", "Site permissions"},
    {"Security", "vx://security", "Connection security"},
    {"Performance", "vx://performance", "Tab performance"},
    {"Memory", "vx://memory", "Memory and tabs"},
    {"Passwords", "vx://passwords", "Saved passwords"},
    {"Downloads", "vx://downloads", "Downloaded files"},
    {"Tab Groups", "vx://tab-groups", "Organize tabs"},
    {"Developer Mode", "vx://experiments", "Advanced tools"},
    {"About", "vx://about", "Version and credits"},
}};

std::string sidebarLink(const SettingsLink& link) {
    return "<a href=\"#\" onclick=\"vxNavigate('" + InternalHTMLStyles::scriptArg(link.address) +
           "');return false;\">" + InternalHTMLStyles::escapeHTML(link.title) + "</a>";
}

std::string settingsCard(const SettingsLink& link) {
    return "<div class=\"card\"><h2>" + InternalHTMLStyles::escapeHTML(link.title) + "</h2><p>" +
           InternalHTMLStyles::escapeHTML(link.description) + "</p><div class=\"btn-row\">" +
           PageMarkup::button("btn btn-primary", PageMarkup::navigateScript(link.address), "Open") + "</div></div>";
}

std::string downloadRow(const DownloadItem& item) {
    const std::string size = item.fileSize ? DisplayFormat::byteCount(*item.fileSize) : "—";
    const std::string detail =
        InternalHTMLStyles::escapeHTML(item.sourceURL) + " · " + InternalHTMLStyles::escapeHTML(size);
    return "<div class=\"list-item\">" + PageMarkup::meta(item.fileName, detail) + "</div>";
}

}  // namespace

std::string settingsPage(const InternalPageContext& context) {
    std::string links;
    std::string cards;
    for (const SettingsLink& link : settingsLinks) {
        links += sidebarLink(link);
        cards += settingsCard(link);
    }
    const SearchEngine engine = context.profileData.settings.resolvedSearchEngine();

    std::string body = "<div class=\"page-wide layout\">\n";
    body += "<nav class=\"sidebar desktop-sidebar\">" + links + "</nav>\n";
    body += "<div class=\"main\">\n";
    body += InternalHTMLStyles::pageHeader("Settings", "Manage Quorelle");
    body += "\n<div class=\"card\"><h2>Search</h2><p>Engine: " + InternalHTMLStyles::escapeHTML(engine.name) +
            "</p></div>\n";
    body += cards;
    body += "\n</div>\n</div>";
    return context.wrap("Settings", body);
}

std::string downloadsPage(const InternalPageContext& context) {
    std::vector<std::string> list;
    for (const DownloadItem& item : context.profileData.downloads) list.push_back(downloadRow(item));
    const std::string rows = list.empty() ? "<div class=\"empty\">No downloads yet</div>" : PageMarkup::stagedRows(list);

    std::string body = "<div class=\"page\">\n";
    body += PageMarkup::headerRow(
        "Downloads", "Files downloaded in Quorelle",
        PageMarkup::button("btn btn-danger", "if(confirm('Clear list?')) vxAction({action:'clearDownloads'})",
                           "Clear list"));
    body += "<div class=\"card\">";
    body += rows;
    body += "</div>\n</div>";
    return context.wrap("Downloads", body);
}

}  // namespace quorelle::pages
