#pragma once

#include "model/Bookmark.h"
#include "model/BookmarkFolder.h"
#include "model/BrowserSettings.h"
#include "model/DownloadItem.h"
#include "model/HistoryItem.h"
#include "model/Json.h"
#include "model/ProxyProfile.h"
#include "model/SavedCustomTheme.h"
#include "model/SecureCredentialReference.h"
#include "model/ShortcutItem.h"
#include "model/TabGroup.h"
#include "model/ThemeSettings.h"

#include <vector>

namespace quorelle {

// Everything that belongs to one profile. The data store keeps each field in
// a file of its own in the profile's folder, never the whole value at once.
struct ProfileData {
    std::vector<Bookmark> bookmarks;
    std::vector<BookmarkFolder> bookmarkFolders;
    std::vector<HistoryItem> history;
    std::vector<ShortcutItem> shortcuts;
    BrowserSettings settings;
    std::vector<ProxyProfile> proxies;
    std::vector<TabGroup> tabGroups;
    std::vector<DownloadItem> downloads;
    ThemeSettings theme;
    std::vector<SecureCredentialReference> passwordReferences;  // saved logins, in the order first saved
    std::vector<SavedCustomTheme> savedThemes;

    // A profile with nothing yet: the default shortcuts, the default settings,
    // the dark default theme and empty lists. Built once, on first use, so
    // its shortcut ids never change during a run; use makeNew() for a
    // profile that is about to be created.
    static const ProfileData& empty();

    // The content of empty() with newly made default shortcuts, so that no
    // two profiles share shortcut ids.
    static ProfileData makeNew();

    friend bool operator==(const ProfileData&, const ProfileData&) = default;
};

// The whole value as one object keyed by field name. Nothing stores it this
// way; "bookmarkFolders" and "savedThemes" may be missing (empty lists), the
// other nine keys are required.
void readJson(const Json& j, ProfileData& out);
Json toJson(const ProfileData& data);

}  // namespace quorelle
