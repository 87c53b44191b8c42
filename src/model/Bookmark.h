#pragma once

#include "model/Date.h"
#include "model/Json.h"
#include "model/Uuid.h"

#include <optional>
#include <string>

namespace quorelle {

// A saved page. Bookmarks form one flat list; folderID names the folder the
// bookmark is in, or is absent for the top level.
struct Bookmark {
    Uuid id = Uuid::random();
    std::string title;
    std::string url;  // as stored, not normalised
    Date createdAt = Date::now();
    std::optional<std::string> faviconURL = std::nullopt;
    std::optional<std::string> customIconURL = std::nullopt;  // chosen by the user; wins when non-empty
    std::optional<Uuid> folderID = std::nullopt;

    // The icon to draw: a non-empty custom icon, else the logo for an
    // internal page, else the stored favicon (which may be absent or empty).
    std::optional<std::string> effectiveIconURL() const;
    // The badge letter drawn when no icon shows; may be empty.
    std::string displayLetter() const;

    friend bool operator==(const Bookmark&, const Bookmark&) = default;
};

// Made from the document alone (no random id, no clock reading).
Bookmark readJson(const Json& j, JsonType<Bookmark>);
Json toJson(const Bookmark& bookmark);

}  // namespace quorelle
