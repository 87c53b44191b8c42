#include "web/DisplayFormat.h"
#include "web/InternalHTMLStyles.h"
#include "web/InternalPages.h"
#include "web/PageMarkup.h"

#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace quorelle::pages {
namespace {

// Visits without a readable date sort below every real day.
using DayKey = std::optional<DisplayFormat::LocalDay>;

struct DayGroup {
    std::string heading;
    std::vector<const HistoryItem*> items;  // in stored order
};

// Newest day first. std::nullopt compares below any day, so it comes last.
using DayGroups = std::map<DayKey, DayGroup, std::greater<>>;

DayGroups groupByLocalDay(const std::vector<HistoryItem>& history, const DisplayFormat& format) {
    DayGroups groups;
    for (const HistoryItem& item : history) {
        DayGroup& group = groups[format.localDay(item.visitedAt)];
        if (group.items.empty()) group.heading = format.mediumDate(item.visitedAt);
        group.items.push_back(&item);
    }
    return groups;
}

std::string dayHeading(const std::string& heading) {
    return "<h2 style=\"font-size:13px;color:var(--vx-muted);margin:16px 0 8px\">" +
           InternalHTMLStyles::escapeHTML(heading) + "</h2>";
}

std::string historyRow(const InternalPageContext& context, const DisplayFormat& format, const HistoryItem& item) {
    const std::string icon = InternalHTMLStyles::htmlIconHref(item.url, std::nullopt, context.cachedFaviconFor(item.url));
    const std::string detail = InternalHTMLStyles::escapeHTML(item.url) + " · " +
                               InternalHTMLStyles::escapeHTML(format.shortTime(item.visitedAt));
    const std::string deleteScript = "vxAction({action:'deleteHistoryItem', itemId:'" +
                                     InternalHTMLStyles::scriptArg(item.id.toString()) + "'})";
    return "<div class=\"list-item\">" + PageMarkup::rowIcon(icon) + PageMarkup::meta(item.title, detail) +
           PageMarkup::inlineButtonRow(PageMarkup::button("btn btn-danger", deleteScript, "Delete") +
                                       PageMarkup::button("btn btn-secondary", PageMarkup::navigateScript(item.url),
                                                          "Open")) +
           "</div>";
}

std::string historyList(const InternalPageContext& context) {
    const DisplayFormat format;
    std::vector<std::string> rows;  // day headings and visits
    for (const auto& [day, group] : groupByLocalDay(context.profileData.history, format)) {
        rows.push_back(dayHeading(group.heading));
        for (const HistoryItem* item : group.items) rows.push_back(historyRow(context, format, *item));
    }
    if (rows.empty()) return "<div class=\"empty\">No history yet</div>";
    return PageMarkup::stagedRows(rows);
}

}  // namespace

std::string historyPage(const InternalPageContext& context) {
    std::string body = "<div class=\"page\">\n";
    body += PageMarkup::headerRow(
        "History", "Pages you have visited",
        PageMarkup::button("btn btn-danger", "if(confirm('Clear all history?')) vxAction({action:'clearHistory'})",
                           "Clear history"));
    if (context.currentProfile.isGuest) {
        body += "<div class=\"warn\">Guest mode: history is not saved permanently.</div>\n";
    }
    body += "<div class=\"card\">";
    body += historyList(context);
    body += "</div>\n</div>";
    return context.wrap("History", body);
}

}  // namespace quorelle::pages
