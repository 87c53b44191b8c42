#include "model/HistoryItem.h"

#include "model/JsonCodec.h"

namespace quorelle {

HistoryItem readJson(const Json& j, JsonType<HistoryItem>) {
    return HistoryItem{.id = json::req<Uuid>(j, "id"),
                       .title = json::req<std::string>(j, "title"),
                       .url = json::req<std::string>(j, "url"),
                       .visitedAt = json::req<Date>(j, "visitedAt")};
}

Json toJson(const HistoryItem& item) {
    Json j = Json::object();
    json::put(j, "id", item.id);
    json::put(j, "title", item.title);
    json::put(j, "url", item.url);
    json::put(j, "visitedAt", item.visitedAt);
    return j;
}

}  // namespace quorelle
