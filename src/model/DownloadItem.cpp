#include "model/DownloadItem.h"

#include "model/JsonCodec.h"

namespace quorelle {

void readJson(const Json& j, DownloadItem& out) {
    DownloadItem item;
    item.id = json::req<Uuid>(j, "id");
    item.fileName = json::req<std::string>(j, "fileName");
    item.sourceURL = json::req<std::string>(j, "sourceURL");
    item.downloadedAt = json::req<Date>(j, "downloadedAt");
    item.fileSize = json::opt<std::int64_t>(j, "fileSize");
    item.localPath = json::opt<std::string>(j, "localPath");
    out = std::move(item);
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
