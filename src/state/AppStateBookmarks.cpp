// Bookmarks and bookmark folders of the current profile.
#include "model/QuorelleAssets.h"
#include "state/AppState.h"
#include "state/IFavicons.h"

#include <algorithm>
#include <limits>

namespace quorelle {

namespace {

// Shown for a bookmark at the top level or in a folder that is gone.
constexpr std::string_view noFolderName = "\u2014";

template <typename List>
std::optional<std::size_t> indexOfID(const List& list, const Uuid& id) {
    auto it = std::find_if(list.begin(), list.end(), [&](const auto& record) { return record.id == id; });
    if (it == list.end()) return std::nullopt;
    return static_cast<std::size_t>(it - list.begin());
}

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
        // The answer belongs to the profile it was asked for, and the bookmark
        // is found again by id: it may have been edited or deleted meanwhile.
        std::weak_ptr<AppState> weak = weak_from_this();
        const std::string profileID = appSettings.get().selectedStartupProfileID;
        services_.favicons.fetchFromNetwork(pageURL, [weak, profileID, id](std::optional<std::string> favicon) {
            auto self = weak.lock();
            if (!self || !favicon || self->appSettings.get().selectedStartupProfileID != profileID) return;
            auto index = indexOfID(self->profileData.get().bookmarks, id);
            if (!index) return;
            self->profileData.modify([&](ProfileData& d) { d.bookmarks[*index].faviconURL = *favicon; });
            self->persist();
        });
    }
    persist();
    reloadBookmarksPageIfActive();
}

void AppState::updateBookmark(const Bookmark& bookmark) {
    const Bookmark edited = bookmark;
    auto index = indexOfID(profileData.get().bookmarks, edited.id);
    if (!index) return;
    profileData.modify([&](ProfileData& d) { d.bookmarks[*index] = edited; });
    persist();
    reloadBookmarksPageIfActive();
}

void AppState::deleteBookmark(const Bookmark& bookmark) {
    const Uuid id = bookmark.id;
    profileData.modify([&](ProfileData& d) {
        std::erase_if(d.bookmarks, [&](const Bookmark& b) { return b.id == id; });
    });
    persist();
    reloadBookmarksPageIfActive();
}

void AppState::moveBookmark(const Uuid& bookmarkID, std::optional<Uuid> folderID) {
    auto index = indexOfID(profileData.get().bookmarks, bookmarkID);
    if (!index) return;
    profileData.modify([&](ProfileData& d) { d.bookmarks[*index].folderID = folderID; });
    persist();
    reloadBookmarksPageIfActive();
}

void AppState::createBookmarkFolder(std::string_view name) {
    const auto& folders = profileData.get().bookmarkFolders;
    std::int64_t highest = 0;
    if (!folders.empty())
        highest = std::max_element(folders.begin(), folders.end(), [](const BookmarkFolder& a,
                                                                       const BookmarkFolder& b) {
                      return a.sortOrder < b.sortOrder;
                  })->sortOrder;
    BookmarkFolder folder;
    folder.name = std::string(name);
    // Saturates rather than overflowing on a hand-edited file.
    folder.sortOrder = highest == std::numeric_limits<std::int64_t>::max() ? highest : highest + 1;
    profileData.modify([&](ProfileData& d) { d.bookmarkFolders.push_back(std::move(folder)); });
    persist();
    reloadBookmarksPageIfActive();
}

void AppState::renameBookmarkFolder(const Uuid& id, std::string_view name) {
    auto index = indexOfID(profileData.get().bookmarkFolders, id);
    if (!index) return;
    const std::string newName(name);
    profileData.modify([&](ProfileData& d) { d.bookmarkFolders[*index].name = newName; });
    persist();
    reloadBookmarksPageIfActive();
}

void AppState::deleteBookmarkFolder(const Uuid& id) {
    const Uuid folderID = id;
    profileData.modify([&](ProfileData& d) {
        std::erase_if(d.bookmarkFolders, [&](const BookmarkFolder& f) { return f.id == folderID; });
        for (auto& bookmark : d.bookmarks)
            if (bookmark.folderID == folderID) bookmark.folderID = std::nullopt;
    });
    persist();
    reloadBookmarksPageIfActive();
}

std::string AppState::folderName(const std::optional<Uuid>& folderID) const {
    if (!folderID) return std::string(noFolderName);
    const auto& folders = profileData.get().bookmarkFolders;
    auto index = indexOfID(folders, *folderID);
    return index ? folders[*index].name : std::string(noFolderName);
}

}  // namespace quorelle
