#pragma once

#include "model/Json.h"
#include "model/ThemeBackground.h"
#include "model/ThemeColors.h"
#include "model/Uuid.h"

#include <string>

namespace quorelle {

// A theme saved under a name: its colours and background.
struct SavedCustomTheme {
    Uuid id;
    std::string name;
    ThemeColors colors;
    ThemeBackground background;

    friend bool operator==(const SavedCustomTheme&, const SavedCustomTheme&) = default;
};

void readJson(const Json& j, SavedCustomTheme& out);
Json toJson(const SavedCustomTheme& theme);

}  // namespace quorelle
