#include "model/Bookmark.h"

#include "model/JsonCodec.h"
#include "model/QuorelleAssets.h"

namespace quorelle {

std::optional<std::string> Bookmark::effectiveIconURL() const {
    if (customIconURL && !customIconURL->empty()) return customIconURL;
    if (auto logo = QuorelleAssets::faviconURL(url)) return logo;
    return faviconURL;
}

std::string Bookmark::displayLetter() const { return QuorelleAssets::faviconLetter(url, title); }

Bookmark readJson(const Json& j, JsonType<Bookmark>) {
    return Bookmark{.id = json::req<Uuid>(j, "id"),
                    .title = json::req<std::string>(j, "title"),
                    .url = json::req<std::string>(j, "url"),
                    .createdAt = json::req<Date>(j, "createdAt"),
                    .faviconURL = json::opt<std::string>(j, "faviconURL"),
                    .customIconURL = json::opt<std::string>(j, "customIconURL"),
                    .folderID = json::opt<Uuid>(j, "folderID")};
}

Json toJson(const Bookmark& bookmark) {
    Json j = Json::object();
    json::put(j, "id", bookmark.id);
    json::put(j, "title", bookmark.title);
    json::put(j, "url", bookmark.url);
    json::put(j, "createdAt", bookmark.createdAt);
    json::putOptional(j, "faviconURL", bookmark.faviconURL);
    json::putOptional(j, "customIconURL", bookmark.customIconURL);
    json::putOptional(j, "folderID", bookmark.folderID);
    return j;
}

}  // namespace quorelle
