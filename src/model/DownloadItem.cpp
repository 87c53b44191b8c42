#include "model/DownloadItem.h"

#include "model/JsonCodec.h"

namespace quorelle {

DownloadItem readJson(const Json& j, JsonType<DownloadItem>) {
    return DownloadItem{.id = json::req<Uuid>(j, "id"),
                        .fileName = json::req<std::string>(j, "fileName"),
                        .sourceURL = json::req<std::string>(j, "sourceURL"),
                        .downloadedAt = json::req<Date>(j, "downloadedAt"),
                        .fileSize = json::opt<std::int64_t>(j, "fileSize"),
                        .localPath = json::opt<std::string>(j, "localPath")};
}

Json toJson(const DownloadItem& item) {
    Json j = Json::object();
    json::put(j, "id", item.id);
    json::put(j, "fileName", item.fileName);
    json::put(j, "sourceURL", item.sourceURL);
    json::put(j, "downloadedAt", item.downloadedAt);
    json::putOptional(j, "fileSize", item.fileSize);
    json::putOptional(j, "localPath", item.localPath);
    return j;
}

}  // namespace quorelle
