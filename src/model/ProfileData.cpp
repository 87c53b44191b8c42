#include "model/ProfileData.h"

#include "model/JsonCodec.h"

namespace quorelle {

ProfileData ProfileData::makeNew() {
    ProfileData data = empty();
    data.shortcuts = ShortcutItem::defaultShortcuts();
    return data;
}

const ProfileData& ProfileData::empty() {
    static const ProfileData data{{},
                                  {},
                                  {},
                                  ShortcutItem::defaultShortcuts(),
                                  BrowserSettings::defaults(),
                                  {},
                                  {},
                                  {},
                                  ThemeSettings::chromeDefault(true),
                                  {},
                                  {}};
    return data;
}

void readJson(const Json& j, ProfileData& out) {
    ProfileData data;
    data.bookmarks = json::req<std::vector<Bookmark>>(j, "bookmarks");
    data.bookmarkFolders = json::orDefault<std::vector<BookmarkFolder>>(j, "bookmarkFolders", {});
    data.history = json::req<std::vector<HistoryItem>>(j, "history");
    data.shortcuts = json::req<std::vector<ShortcutItem>>(j, "shortcuts");
    data.settings = json::req<BrowserSettings>(j, "settings");
    data.proxies = json::req<std::vector<ProxyProfile>>(j, "proxies");
    data.tabGroups = json::req<std::vector<TabGroup>>(j, "tabGroups");
    data.downloads = json::req<std::vector<DownloadItem>>(j, "downloads");
    data.theme = json::req<ThemeSettings>(j, "theme");
    data.passwordReferences = json::req<std::vector<SecureCredentialReference>>(j, "passwordReferences");
    data.savedThemes = json::orDefault<std::vector<SavedCustomTheme>>(j, "savedThemes", {});
    out = std::move(data);
}

Json toJson(const ProfileData& data) {
    Json j = Json::object();
    json::put(j, "bookmarks", data.bookmarks);
    json::put(j, "bookmarkFolders", data.bookmarkFolders);
    json::put(j, "history", data.history);
    json::put(j, "shortcuts", data.shortcuts);
    json::put(j, "settings", data.settings);
    json::put(j, "proxies", data.proxies);
    json::put(j, "tabGroups", data.tabGroups);
    json::put(j, "downloads", data.downloads);
    json::put(j, "theme", data.theme);
    json::put(j, "passwordReferences", data.passwordReferences);
    json::put(j, "savedThemes", data.savedThemes);
    return j;
}

}  // namespace quorelle
