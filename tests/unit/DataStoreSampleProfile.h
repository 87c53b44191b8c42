#pragma once

// A large, fully deterministic profile for the data store's tests,
// crash test and benchmark: the same arguments always give the same value
// (ids included), and a different `variant` changes every file's contents.

#include "model/ProfileData.h"

#include <cstdint>
#include <string>

namespace quorelle::testing {

struct SampleSize {
    int history = 5000;
    int bookmarks = 2000;
    int folders = 50;
    int shortcuts = 100;
};

inline Uuid sampleUuid(std::uint32_t variant, std::uint32_t kind, std::uint32_t index) {
    Uuid::Bytes bytes{};
    for (int i = 0; i < 4; ++i) {
        bytes[i] = static_cast<std::uint8_t>(variant >> (8 * i));
        bytes[4 + i] = static_cast<std::uint8_t>(kind >> (8 * i));
        bytes[12 + i] = static_cast<std::uint8_t>(index >> (8 * i));
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0f) | 0x40);
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3f) | 0x80);
    return Uuid(bytes);
}

inline Date sampleDate(int offsetSeconds) {
    return Date{757382400.0 + offsetSeconds};  // 2025-01-01T00:00:00Z, whole seconds
}

inline std::vector<DownloadItem> sampleDownloads(std::uint32_t variant, int count) {
    const std::string tag = "v" + std::to_string(variant);
    std::vector<DownloadItem> downloads;
    for (int i = 0; i < count; ++i) {
        DownloadItem d;
        d.id = sampleUuid(variant, 8, i);
        d.fileName = "file-" + std::to_string(i) + "-" + tag + ".zip";
        d.sourceURL = "https://downloads.example/" + d.fileName;
        d.downloadedAt = sampleDate(i * 3600);
        d.fileSize = 1024 * (i + 1);
        downloads.push_back(std::move(d));
    }
    return downloads;
}

inline ProfileData makeSampleProfile(std::uint32_t variant, SampleSize size = {}) {
    const std::string tag = "v" + std::to_string(variant);
    ProfileData data = ProfileData::empty();
    for (int i = 0; i < size.folders; ++i)
        data.bookmarkFolders.push_back({sampleUuid(variant, 1, i), "Folder " + std::to_string(i) + " " + tag, i});
    for (int i = 0; i < size.bookmarks; ++i) {
        Bookmark b;
        b.id = sampleUuid(variant, 2, i);
        b.title = "Bookmark " + std::to_string(i) + " — " + tag;
        b.url = "https://site" + std::to_string(i % 300) + ".example.org/articles/" + std::to_string(i) + "?ref=" + tag;
        b.createdAt = sampleDate(i * 37);
        if (i % 3 == 0) b.faviconURL = "https://site" + std::to_string(i % 300) + ".example.org/favicon.ico";
        if (i % 2 == 0 && size.folders > 0) b.folderID = sampleUuid(variant, 1, i % size.folders);
        data.bookmarks.push_back(std::move(b));
    }
    for (int i = 0; i < size.history; ++i) {
        HistoryItem h;
        h.id = sampleUuid(variant, 3, i);
        h.title = "Visited page number " + std::to_string(i) + " " + tag;
        h.url = "https://news" + std::to_string(i % 97) + ".example.com/story/" + std::to_string(i * 7919) + "/" + tag;
        h.visitedAt = sampleDate(i * 61);
        data.history.push_back(std::move(h));
    }
    data.shortcuts.clear();
    for (int i = 0; i < size.shortcuts; ++i)
        data.shortcuts.push_back({sampleUuid(variant, 4, i), "Tile " + std::to_string(i) + " " + tag,
                                  "https://tile" + std::to_string(i) + ".example.net", i,
                                  i % 2 ? std::optional<std::string>("https://tile.example.net/i.png") : std::nullopt});
    data.settings.homepage = "https://home.example/" + tag;
    data.settings.flags["sample-" + tag] = true;
    for (int i = 0; i < 3; ++i) {
        ProxyProfile proxy;
        proxy.id = sampleUuid(variant, 5, i);
        proxy.name = "Proxy " + std::to_string(i) + " " + tag;
        proxy.host = "proxy" + std::to_string(i) + ".example";
        proxy.port = 3128 + i;
        proxy.username = "user";
        proxy.password = "secret-" + tag;
        data.proxies.push_back(std::move(proxy));
    }
    TabGroup group;
    group.id = sampleUuid(variant, 6, 0);
    group.name = "Group " + tag;
    group.tabIDs = {sampleUuid(variant, 7, 0), sampleUuid(variant, 7, 1)};
    data.tabGroups.push_back(std::move(group));
    data.downloads = sampleDownloads(variant, 20);
    data.theme.customThemeName = "Theme " + tag;
    for (int i = 0; i < 5; ++i) {
        SecureCredentialReference reference;
        reference.id = sampleUuid(variant, 9, i);
        reference.keychainAccount = reference.id.toString();
        data.passwordReferences.push_back(std::move(reference));
    }
    data.savedThemes.push_back({sampleUuid(variant, 10, 0), "Saved " + tag, data.theme.colors, data.theme.background});
    return data;
}

}  // namespace quorelle::testing
