#include "model/UserAgentSettings.h"

#include "model/JsonCodec.h"

namespace quorelle {

const UserAgentSettings& UserAgentSettings::defaults() {
    static const UserAgentSettings settings{UserAgentPreset::default_, ""};
    return settings;
}

void readJson(const Json& j, UserAgentSettings& out) {
    out.preset = json::req<UserAgentPreset>(j, "preset");
    out.customValue = json::req<std::string>(j, "customValue");
}

Json toJson(const UserAgentSettings& settings) {
    Json j = Json::object();
    json::put(j, "preset", settings.preset);
    json::put(j, "customValue", settings.customValue);
    return j;
}

}  // namespace quorelle
