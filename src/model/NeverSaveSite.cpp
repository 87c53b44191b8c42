#include "model/NeverSaveSite.h"

#include "model/JsonCodec.h"

namespace quorelle {

void readJson(const Json& j, NeverSaveSite& out) { out.domain = json::req<std::string>(j, "domain"); }

Json toJson(const NeverSaveSite& site) {
    Json j = Json::object();
    json::put(j, "domain", site.domain);
    return j;
}

}  // namespace quorelle
