#pragma once

#include "model/Date.h"
#include "model/Json.h"
#include "model/Uuid.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quorelle {

// One finished download.
struct DownloadItem {
    Uuid id = Uuid::random();
    std::string fileName;
    std::string sourceURL;
    Date downloadedAt = Date::now();
    std::optional<std::int64_t> fileSize = std::nullopt;  // bytes, when known
    std::optional<std::string> localPath = std::nullopt;  // where the file was saved, when known

    friend bool operator==(const DownloadItem&, const DownloadItem&) = default;
};

// Made from the document alone (no random id, no clock reading).
DownloadItem readJson(const Json& j, JsonType<DownloadItem>);
Json toJson(const DownloadItem& item);

}  // namespace quorelle
