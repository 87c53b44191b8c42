#include "model/PasswordItem.h"

#include "model/JsonCodec.h"

namespace quorelle {
namespace {

Date readSecondsDate(const Json& j, const char* key) { return Date{json::req<double>(j, key)}; }

}  // namespace

void readJson(const Json& j, PasswordItem& out) {
    out.id = json::req<Uuid>(j, "id");
    out.websiteURL = json::req<std::string>(j, "websiteURL");
    out.domain = json::req<std::string>(j, "domain");
    out.username = json::req<std::string>(j, "username");
    out.email = json::req<std::string>(j, "email");
    out.notes = json::req<std::string>(j, "notes");
    out.createdAt = readSecondsDate(j, "createdAt");
    out.modifiedAt = readSecondsDate(j, "modifiedAt");
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
