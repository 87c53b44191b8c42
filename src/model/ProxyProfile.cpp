#include "model/ProxyProfile.h"

#include "model/JsonCodec.h"

namespace quorelle {

ProxyProfile readJson(const Json& j, JsonType<ProxyProfile>) {
    return ProxyProfile{.id = json::req<Uuid>(j, "id"),
                        .name = json::req<std::string>(j, "name"),
                        .type = json::req<ProxyType>(j, "type"),
                        .host = json::req<std::string>(j, "host"),
                        .port = json::req<std::int64_t>(j, "port"),
                        .username = json::req<std::string>(j, "username"),
                        .password = json::req<std::string>(j, "password"),
                        .isEnabled = json::req<bool>(j, "isEnabled")};
}

Json toJson(const ProxyProfile& profile) {
    Json j = Json::object();
    json::put(j, "id", profile.id);
    json::put(j, "name", profile.name);
    json::put(j, "type", profile.type);
    json::put(j, "host", profile.host);
    json::put(j, "port", profile.port);
    json::put(j, "username", profile.username);
    json::put(j, "password", profile.password);
    json::put(j, "isEnabled", profile.isEnabled);
    return j;
}

}  // namespace quorelle
