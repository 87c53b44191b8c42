// Browsing history and the download list of the current profile.
#include "model/BrowserNavigation.h"
#include "model/RecordList.h"
#include "state/AppState.h"

namespace quorelle {

namespace {

// The history list keeps at most this many visits, newest first.
constexpr std::size_t historyLimit = 5000;

}  // namespace

void AppState::addHistory(std::string_view title, std::string_view url) {
    // Internal pages are never recorded, whatever the letter case of the scheme.
    if (isGuest() || BrowserNavigation::hasInternalScheme(url)) return;
    HistoryItem item;
    item.title = title.empty() ? std::string(url) : std::string(title);
    item.url = std::string(url);
    profileData.modify([&](ProfileData& d) {
        std::erase_if(d.history, [&](const HistoryItem& h) { return h.url == item.url; });
        d.history.insert(d.history.begin(), std::move(item));
        if (d.history.size() > historyLimit) d.history.resize(historyLimit);
    });
    persist();
}

void AppState::clearHistory() {
    profileData.modify([](ProfileData& d) { d.history.clear(); });
    persist();
}

void AppState::removeHistory(const HistoryItem& item) {
    const Uuid id = item.id;
    profileData.modify([&](ProfileData& d) { records::erase(d.history, id); });
    persist();
}

void AppState::addDownload(std::string_view fileName, std::string_view sourceURL,
                           std::optional<std::string> localPath, std::optional<std::int64_t> size) {
    DownloadItem item;
    item.fileName = std::string(fileName);
    item.sourceURL = std::string(sourceURL);
    item.fileSize = size;
    item.localPath = std::move(localPath);
    profileData.modify([&](ProfileData& d) { d.downloads.insert(d.downloads.begin(), std::move(item)); });
    persist();
}

void AppState::clearDownloads() {
    profileData.modify([](ProfileData& d) { d.downloads.clear(); });
    persist();
}

}  // namespace quorelle
