#include "model/BookmarkFolder.h"

#include "model/JsonCodec.h"

namespace quorelle {

BookmarkFolder readJson(const Json& j, JsonType<BookmarkFolder>) {
    return BookmarkFolder{.id = json::req<Uuid>(j, "id"),
                          .name = json::req<std::string>(j, "name"),
                          .sortOrder = json::req<std::int64_t>(j, "sortOrder")};
}

Json toJson(const BookmarkFolder& folder) {
    Json j = Json::object();
    json::put(j, "id", folder.id);
    json::put(j, "name", folder.name);
    json::put(j, "sortOrder", folder.sortOrder);
    return j;
}

}  // namespace quorelle
