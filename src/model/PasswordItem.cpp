#include "model/PasswordItem.h"

#include "model/JsonCodec.h"

namespace quorelle {
namespace {

Date readSecondsDate(const Json& j, const char* key) { return Date{json::req<double>(j, key)}; }

}  // namespace

PasswordItem readJson(const Json& j, JsonType<PasswordItem>) {
    return PasswordItem{.id = json::req<Uuid>(j, "id"),
                        .websiteURL = json::req<std::string>(j, "websiteURL"),
                        .domain = json::req<std::string>(j, "domain"),
                        .username = json::req<std::string>(j, "username"),
                        .email = json::req<std::string>(j, "email"),
                        .notes = json::req<std::string>(j, "notes"),
                        .createdAt = readSecondsDate(j, "createdAt"),
                        .modifiedAt = readSecondsDate(j, "modifiedAt")};
}

Json toJson(const PasswordItem& item) {
    Json j = Json::object();
    json::put(j, "id", item.id);
    json::put(j, "websiteURL", item.websiteURL);
    json::put(j, "domain", item.domain);
    json::put(j, "username", item.username);
    json::put(j, "email", item.email);
    json::put(j, "notes", item.notes);
    json::put(j, "createdAt", item.createdAt.secondsSinceReferenceDate);
    json::put(j, "modifiedAt", item.modifiedAt.secondsSinceReferenceDate);
    return j;
}

}  // namespace quorelle
