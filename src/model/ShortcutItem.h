#pragma once

#include "model/Json.h"
#include "model/Uuid.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace quorelle {

// A tile on the new-tab page. The page orders tiles by sortOrder; the list's
// own order is independent of it.
struct ShortcutItem {
    Uuid id;
    std::string title;
    std::string url;  // as entered, not normalised
    std::int64_t sortOrder = 0;
    std::optional<std::string> faviconURL;

    // The six starting tiles, sortOrder 0 to 5, with no icons. Every call
    // makes fresh ids, so two profiles never share a shortcut id.
    static std::vector<ShortcutItem> defaultShortcuts();

    friend bool operator==(const ShortcutItem&, const ShortcutItem&) = default;
};

void readJson(const Json& j, ShortcutItem& out);
Json toJson(const ShortcutItem& item);

}  // namespace quorelle
