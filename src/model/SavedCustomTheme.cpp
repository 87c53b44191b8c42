#include "model/SavedCustomTheme.h"

#include "model/JsonCodec.h"

namespace quorelle {

void readJson(const Json& j, SavedCustomTheme& out) {
    SavedCustomTheme theme;
    theme.id = json::req<Uuid>(j, "id");
    theme.name = json::req<std::string>(j, "name");
    theme.colors = json::req<ThemeColors>(j, "colors");
    theme.background = json::req<ThemeBackground>(j, "background");
    out = std::move(theme);
}

Json toJson(const SavedCustomTheme& theme) {
    Json j = Json::object();
    json::put(j, "id", theme.id);
    json::put(j, "name", theme.name);
    json::put(j, "colors", theme.colors);
    json::put(j, "background", theme.background);
    return j;
}

}  // namespace quorelle
