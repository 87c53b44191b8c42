#include "model/PersistedTab.h"

#include "model/JsonCodec.h"

namespace quorelle {

void readJson(const Json& j, PersistedTab& out) {
    out.id = json::req<Uuid>(j, "id");
    out.title = json::req<std::string>(j, "title");
    out.urlString = json::req<std::string>(j, "urlString");
    out.groupID = json::opt<Uuid>(j, "groupID");
}

Json toJson(const PersistedTab& tab) {
    Json j = Json::object();
    json::put(j, "id", tab.id);
    json::put(j, "title", tab.title);
    json::put(j, "urlString", tab.urlString);
    json::putOptional(j, "groupID", tab.groupID);
    return j;
}

}  // namespace quorelle
