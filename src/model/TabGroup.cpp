#include "model/TabGroup.h"

#include "model/JsonCodec.h"

namespace quorelle {

TabGroup readJson(const Json& j, JsonType<TabGroup>) {
    return TabGroup{.id = json::req<Uuid>(j, "id"),
                    .name = json::req<std::string>(j, "name"),
                    .color = json::req<TabGroupColor>(j, "color"),
                    .tabIDs = json::req<std::vector<Uuid>>(j, "tabIDs"),
                    .isCollapsed = json::req<bool>(j, "isCollapsed")};
}

Json toJson(const TabGroup& group) {
    Json j = Json::object();
    json::put(j, "id", group.id);
    json::put(j, "name", group.name);
    json::put(j, "color", group.color);
    json::put(j, "tabIDs", group.tabIDs);
    json::put(j, "isCollapsed", group.isCollapsed);
    return j;
}

}  // namespace quorelle
