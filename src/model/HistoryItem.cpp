#include "model/HistoryItem.h"

#include "model/JsonCodec.h"

namespace quorelle {

void readJson(const Json& j, HistoryItem& out) {
    HistoryItem item;
    item.id = json::req<Uuid>(j, "id");
    item.title = json::req<std::string>(j, "title");
    item.url = json::req<std::string>(j, "url");
    item.visitedAt = json::req<Date>(j, "visitedAt");
    out = std::move(item);
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
