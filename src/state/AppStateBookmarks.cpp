// Bookmarks and bookmark folders of the current profile.
#include "model/QuorelleAssets.h"
#include "model/RecordList.h"
#include "state/AppState.h"
#include "state/IFavicons.h"

#include <algorithm>

namespace quorelle {

namespace {

// Shown for a bookmark at the top level or in a folder that is gone.
constexpr std::string_view noFolderName = "\u2014";

}  // namespace

bool AppState::isBookmarked(std::string_view url) const {
    const auto& bookmarks = profileData.get().bookmarks;
    return std::any_of(bookmarks.begin(), bookmarks.end(), [&](const Bookmark& b) { return b.url == url; });
}

void AppState::toggleBookmark() {
    auto tab = activeTab();
    if (!tab || tab->isInternal.get()) return;
    const std::string url = tab->urlString.get();
    const auto& bookmarks = profileData.get().bookmarks;
    auto existing = std::find_if(bookmarks.begin(), bookmarks.end(), [&](const Bookmark& b) { return b.url == url; });
    if (existing != bookmarks.end()) {
        const auto index = existing - bookmarks.begin();
        profileData.modify([&](ProfileData& d) { d.bookmarks.erase(d.bookmarks.begin() + index); });
        persist();
        return;
    }
    Bookmark bookmark;
    bookmark.title = tab->title.get();
    bookmark.url = url;
    bookmark.faviconURL = tab->faviconURL.get() ? tab->faviconURL.get() : services_.favicons.cached(url);
    profileData.modify([&](ProfileData& d) { d.bookmarks.push_back(std::move(bookmark)); });
    persist();
}

void AppState::createBookmark(std::string_view title, std::string_view url, std::optional<Uuid> folderID,
                              std::optional<std::string> customIconURL) {
    Bookmark bookmark;
    bookmark.title = std::string(title);
    bookmark.url = std::string(url);
    bookmark.faviconURL = QuorelleAssets::faviconURL(url);
    if (!bookmark.faviconURL) bookmark.faviconURL = services_.favicons.cached(bookmark.url);
    bookmark.customIconURL = std::move(customIconURL);
    bookmark.folderID = folderID;
    const bool lookUpLater = !bookmark.faviconURL && !QuorelleAssets::isInternalURL(bookmark.url);
    const Uuid id = bookmark.id;
    const std::string pageURL = bookmark.url;
    profileData.modify([&](ProfileData& d) { d.bookmarks.push_back(std::move(bookmark)); });

    if (lookUpLater) {
        // The bookmark is found again by id: it may have been edited or
        // deleted meanwhile.
        fetchFaviconForCurrentProfile(pageURL, [id](AppState& self, const std::string& favicon) {
            auto index = records::indexOf(self.profileData.get().bookmarks, id);
            if (!index) return;
            self.profileData.modify([&](ProfileData& d) { d.bookmarks[*index].faviconURL = favicon; });
            self.persist();
        });
    }
    persist();
    reloadBookmarksPageIfActive();
}

void AppState::updateBookmark(const Bookmark& bookmark) {
    const Bookmark edited = bookmark;
    auto index = records::indexOf(profileData.get().bookmarks, edited.id);
    if (!index) return;
    profileData.modify([&](ProfileData& d) { d.bookmarks[*index] = edited; });
    persist();
    reloadBookmarksPageIfActive();
}

void AppState::deleteBookmark(const Bookmark& bookmark) {
    const Uuid id = bookmark.id;
    profileData.modify([&](ProfileData& d) { records::erase(d.bookmarks, id); });
    persist();
    reloadBookmarksPageIfActive();
}

void AppState::moveBookmark(const Uuid& bookmarkID, std::optional<Uuid> folderID) {
    auto index = records::indexOf(profileData.get().bookmarks, bookmarkID);
    if (!index) return;
    profileData.modify([&](ProfileData& d) { d.bookmarks[*index].folderID = folderID; });
    persist();
    reloadBookmarksPageIfActive();
}

void AppState::createBookmarkFolder(std::string_view name) {
    BookmarkFolder folder;
    folder.name = std::string(name);
    folder.sortOrder = records::nextSortOrder(profileData.get().bookmarkFolders);
    profileData.modify([&](ProfileData& d) { d.bookmarkFolders.push_back(std::move(folder)); });
    persist();
    reloadBookmarksPageIfActive();
}

void AppState::renameBookmarkFolder(const Uuid& id, std::string_view name) {
    auto index = records::indexOf(profileData.get().bookmarkFolders, id);
    if (!index) return;
    const std::string newName(name);
    profileData.modify([&](ProfileData& d) { d.bookmarkFolders[*index].name = newName; });
    persist();
    reloadBookmarksPageIfActive();
}

void AppState::deleteBookmarkFolder(const Uuid& id) {
    const Uuid folderID = id;
    profileData.modify([&](ProfileData& d) {
        records::erase(d.bookmarkFolders, folderID);
        for (auto& bookmark : d.bookmarks)
            if (bookmark.folderID == folderID) bookmark.folderID = std::nullopt;
    });
    persist();
    reloadBookmarksPageIfActive();
}

std::string AppState::folderName(const std::optional<Uuid>& folderID) const {
    if (!folderID) return std::string(noFolderName);
    const BookmarkFolder* folder = records::find(profileData.get().bookmarkFolders, *folderID);
    return folder ? folder->name : std::string(noFolderName);
}

}  // namespace quorelle
