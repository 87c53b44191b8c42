#include "model/BookmarkFolder.h"

#include "model/JsonCodec.h"

namespace quorelle {

void readJson(const Json& j, BookmarkFolder& out) {
    BookmarkFolder folder;
    folder.id = json::req<Uuid>(j, "id");
    folder.name = json::req<std::string>(j, "name");
    folder.sortOrder = json::req<std::int64_t>(j, "sortOrder");
    out = std::move(folder);
}

Json toJson(const BookmarkFolder& folder) {
    Json j = Json::object();
    json::put(j, "id", folder.id);
    json::put(j, "name", folder.name);
    json::put(j, "sortOrder", folder.sortOrder);
    return j;
}

}  // namespace quorelle
