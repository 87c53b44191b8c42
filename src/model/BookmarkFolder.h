#pragma once

#include "model/Json.h"
#include "model/Uuid.h"

#include <cstdint>
#include <string>

namespace quorelle {

// A bookmark folder. Folders are one level deep and hold no folders.
struct BookmarkFolder {
    Uuid id = Uuid::random();
    std::string name;
    std::int64_t sortOrder = 0;  // place among the profile's folders

    friend bool operator==(const BookmarkFolder&, const BookmarkFolder&) = default;
};

// Made from the document alone (no random id, no clock reading).
BookmarkFolder readJson(const Json& j, JsonType<BookmarkFolder>);
Json toJson(const BookmarkFolder& folder);

}  // namespace quorelle
