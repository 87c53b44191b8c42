#include "model/DownloadItem.h"
#include "model/JsonCodec.h"

#include <gtest/gtest.h>

using namespace quorelle;

namespace {

DownloadItem download() {
    return DownloadItem{.id = *Uuid::parse("6ba7b810-9dad-11d1-80b4-00c04fd430c8"),
                        .fileName = "report.pdf",
                        .sourceURL = "https://example.com/report.pdf",
                        .downloadedAt = *Date::parseIso8601("2026-01-02T03:04:05Z")};
}

TEST(DownloadItem, WithoutSizeOrPathWritesExactlyFourKeys) {
    const Json j = toJson(download());
    std::vector<std::string> keys;
    for (const auto& [key, value] : j.items()) keys.push_back(key);
    EXPECT_EQ(keys, (std::vector<std::string>{"downloadedAt", "fileName", "id", "sourceURL"}));
    EXPECT_EQ(json::decode<DownloadItem>(j.dump()), download());
}

TEST(DownloadItem, SizeAndPathRoundTrip) {
    DownloadItem item = download();
    item.fileSize = 0;
    item.localPath = "";
    const Json j = toJson(item);
    EXPECT_EQ(j.at("fileSize"), 0);
    EXPECT_EQ(j.at("localPath"), "");
    EXPECT_EQ(json::decode<DownloadItem>(j.dump()), item);
    EXPECT_NE(item, download());  // present never equals absent
}

TEST(DownloadItem, NullOrMissingSizeIsAbsentButAStringFails) {
    Json j = toJson(download());
    j["fileSize"] = nullptr;
    auto decoded = json::decode<DownloadItem>(j.dump());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->fileSize, std::nullopt);
    for (Json bad : {Json("1024"), Json(10.5), Json(true)}) {
        j["fileSize"] = bad;
        EXPECT_EQ(json::decode<DownloadItem>(j.dump()), std::nullopt) << bad.dump();
    }
    Json list = Json::array({toJson(download()), j});
    EXPECT_EQ(json::decode<std::vector<DownloadItem>>(list.dump()), std::nullopt);
}

TEST(DownloadItem, RequiredKeysFail) {
    for (const char* key : {"id", "fileName", "sourceURL", "downloadedAt"}) {
        Json j = toJson(download());
        j.erase(key);
        EXPECT_EQ(json::decode<DownloadItem>(j.dump()), std::nullopt) << key;
    }
    Json path = toJson(download());
    path["localPath"] = 3;
    EXPECT_EQ(json::decode<DownloadItem>(path.dump()), std::nullopt);
}

}  // namespace
