#pragma once

#include "model/Date.h"
#include "model/Json.h"
#include "model/Uuid.h"

#include <string>

namespace quorelle {

// One recorded visit to a web page.
struct HistoryItem {
    Uuid id = Uuid::random();
    std::string title;
    std::string url;
    Date visitedAt = Date::now();

    friend bool operator==(const HistoryItem&, const HistoryItem&) = default;
};

// Made from the document alone (no random id, no clock reading).
HistoryItem readJson(const Json& j, JsonType<HistoryItem>);
Json toJson(const HistoryItem& item);

}  // namespace quorelle
