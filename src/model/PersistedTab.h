#pragma once

#include "model/Json.h"
#include "model/Uuid.h"

#include <optional>
#include <string>

namespace quorelle {

// An open tab as last saved with the profile's settings.
struct PersistedTab {
    Uuid id;
    std::string title;
    std::string urlString;
    std::optional<Uuid> groupID;

    friend bool operator==(const PersistedTab&, const PersistedTab&) = default;
};

void readJson(const Json& j, PersistedTab& out);
Json toJson(const PersistedTab& tab);

}  // namespace quorelle
