#include "web/InternalHTMLStyles.h"
#include "web/InternalPages.h"
#include "web/PageMarkup.h"
#include "web/SortOrder.h"

#include <algorithm>
#include <vector>

namespace quorelle::pages {
namespace {

constexpr std::string_view noFolder = "—";

std::string folderName(const std::vector<BookmarkFolder>& folders, const Bookmark& bookmark) {
    if (!bookmark.folderID) return std::string(noFolder);
    auto it = std::find_if(folders.begin(), folders.end(),
                           [&](const BookmarkFolder& folder) { return folder.id == *bookmark.folderID; });
    return it == folders.end() ? std::string(noFolder) : it->name;
}

std::string bookmarkRow(const Bookmark& bookmark, const std::vector<BookmarkFolder>& folders) {
    const std::string icon =
        InternalHTMLStyles::htmlIconHref(bookmark.url, bookmark.customIconURL, bookmark.faviconURL);
    const std::string detail = InternalHTMLStyles::escapeHTML(bookmark.url) + " · Folder: " +
                               InternalHTMLStyles::escapeHTML(folderName(folders, bookmark));
    const std::string id = InternalHTMLStyles::scriptArg(bookmark.id.toString());
    const std::string buttons =
        PageMarkup::button("btn btn-danger", "vxAction({action:'deleteBookmark', bookmarkId:'" + id + "'})",
                           "Delete") +
        PageMarkup::button("btn btn-secondary", PageMarkup::navigateScript(bookmark.url), "Open") +
        PageMarkup::button("btn btn-secondary", "vxAction({action:'editBookmark', bookmarkId:'" + id + "'})",
                           "Edit");
    return "<div class=\"list-item\">" + PageMarkup::rowIcon(icon) + PageMarkup::meta(bookmark.title, detail) +
           PageMarkup::inlineButtonRow(buttons) + "</div>";
}

std::string folderRow(const BookmarkFolder& folder, const std::vector<Bookmark>& bookmarks) {
    const auto count = std::count_if(bookmarks.begin(), bookmarks.end(),
                                     [&](const Bookmark& bookmark) { return bookmark.folderID == folder.id; });
    const std::string id = InternalHTMLStyles::scriptArg(folder.id.toString());
    const std::string deleteScript =
        "if(confirm('Delete folder? Bookmarks will move to root.')) vxAction({action:'deleteBookmarkFolder', "
        "folderId:'" + id + "'})";
    const std::string renameScript = "var n=prompt('Rename folder','" + InternalHTMLStyles::scriptArg(folder.name) +
                                     "'); if(n) vxAction({action:'renameBookmarkFolder', folderId:'" + id +
                                     "', name:n})";
    return "<div class=\"list-item\"><strong>" + InternalHTMLStyles::escapeHTML(folder.name) + "</strong><small>" +
           std::to_string(count) + " bookmark(s)</small>" +
           PageMarkup::inlineButtonRow(PageMarkup::button("btn btn-danger", deleteScript, "Delete") +
                                       PageMarkup::button("btn btn-secondary", renameScript, "Rename")) +
           "</div>";
}

std::string folderRows(const ProfileData& data) {
    std::vector<std::string> rows;
    for (const BookmarkFolder& folder : SortOrder::sorted(data.bookmarkFolders))
        rows.push_back(folderRow(folder, data.bookmarks));
    return rows.empty() ? "<p class=\"desc\">No folders yet.</p>" : PageMarkup::stagedRows(rows);
}

std::string bookmarkRows(const ProfileData& data) {
    std::vector<std::string> rows;
    for (const Bookmark& bookmark : data.bookmarks) rows.push_back(bookmarkRow(bookmark, data.bookmarkFolders));
    if (rows.empty()) return "<div class=\"empty\">No bookmarks yet. Use ★ in the toolbar or New Bookmark below.</div>";
    return PageMarkup::stagedRows(rows);
}

}  // namespace

std::string bookmarksPage(const InternalPageContext& context) {
    const std::string headerButtons =
        PageMarkup::button("btn btn-primary", "vxAction({action:'showNewBookmark'})", "New Bookmark") +
        PageMarkup::button("btn btn-secondary",
                           "var n=prompt('Folder name'); if(n) vxAction({action:'createBookmarkFolder', name:n})",
                           "New Folder");
    std::string body = "<div class=\"page\">\n";
    body += PageMarkup::headerRow("Bookmarks", "Your saved pages", PageMarkup::inlineButtonRow(headerButtons));
    body += "<div class=\"card\"><h2>Folders</h2>";
    body += folderRows(context.profileData);
    body += "</div>\n<div class=\"card\">";
    body += bookmarkRows(context.profileData);
    body += "</div>\n</div>";
    return context.wrap("Bookmarks", body);
}

}  // namespace quorelle::pages
