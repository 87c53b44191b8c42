#include "support/StateTestSupport.h"

#include <cmath>

namespace quorelle::testing {
namespace {

class HistoryTest : public StateTest {
protected:
    void SetUp() override {
        state = makeState();
        drain();
    }
    const std::vector<HistoryItem>& history() const { return state->profileData.get().history; }
    const std::vector<DownloadItem>& downloads() const { return state->profileData.get().downloads; }
    // What a fresh state reads back from disk.
    ProfileData reread() { return makeState()->profileData.get(); }
    static std::vector<HistoryItem> visits(std::size_t count) {
        std::vector<HistoryItem> out;
        for (std::size_t i = 0; i < count; ++i)
            out.push_back({Uuid::random(), "Page", "https://site.example/" + std::to_string(i), Date::now()});
        return out;
    }
    // The data store keeps whole seconds.
    template <typename Record>
    static std::vector<Record> asStored(std::vector<Record> list, Date Record::*when) {
        for (auto& r : list) (r.*when).secondsSinceReferenceDate = std::floor((r.*when).secondsSinceReferenceDate);
        return list;
    }
    std::shared_ptr<AppState> state;
};

TEST_F(HistoryTest, RevisitingAnAddressKeepsOneEntryOnTopWithTheNewerTitle) {
    state->addHistory("Old", "https://a.example/");
    state->addHistory("B", "https://b.example/");
    const auto first = history().back();
    state->addHistory("New", "https://a.example/");
    ASSERT_EQ(history().size(), 2u);
    EXPECT_EQ(history()[0].url, "https://a.example/");
    EXPECT_EQ(history()[0].title, "New");
    EXPECT_NE(history()[0].id, first.id);
    EXPECT_GE(history()[0].visitedAt, first.visitedAt);
    EXPECT_EQ(history()[1].url, "https://b.example/");

    state->addHistory("Upper", "https://A.example/");
    EXPECT_EQ(history().size(), 3u);
    EXPECT_EQ(reread().history, asStored(history(), &HistoryItem::visitedAt));
}

TEST_F(HistoryTest, AnEmptyTitleRecordsTheAddress) {
    state->addHistory("", "https://untitled.example/x");
    ASSERT_EQ(history().size(), 1u);
    EXPECT_EQ(history()[0].title, "https://untitled.example/x");
}

TEST_F(HistoryTest, InternalPagesAreNeverRecordedInAnyLetterCase) {
    for (const char* url : {"vx://history", "VX://settings", "Vx://bookmarks", "vX://newtab"})
        state->addHistory("Internal", url);
    EXPECT_TRUE(history().empty());
    EXPECT_TRUE(reread().history.empty());
}

TEST_F(HistoryTest, TheListIsCappedAtFiveThousandNewestFirst) {
    state->profileData.modify([](ProfileData& d) { d.history = visits(5000); });
    const auto oldest = history().back();
    const auto secondOldest = history()[4998];
    state->addHistory("Fresh", "https://fresh.example/");
    ASSERT_EQ(history().size(), 5000u);
    EXPECT_EQ(history().front().url, "https://fresh.example/");
    EXPECT_EQ(history().back(), secondOldest);
    for (const auto& item : history()) EXPECT_NE(item.id, oldest.id);

    // Revisiting an address already in a full list drops nothing else.
    const auto middle = history()[2500];
    state->addHistory("Again", middle.url);
    ASSERT_EQ(history().size(), 5000u);
    EXPECT_EQ(history().front().url, middle.url);
    EXPECT_EQ(history().back(), secondOldest);

    const auto stored = reread().history;
    ASSERT_EQ(stored.size(), 5000u);
    EXPECT_EQ(stored.front().title, "Again");
}

TEST_F(HistoryTest, AGuestWindowRecordsAndWritesNothing) {
    auto guest = makeState(true);
    drain();
    const auto before = snapshot();
    guest->addHistory("Page", "https://a.example/");
    EXPECT_TRUE(guest->profileData.get().history.empty());
    guest->addDownload("file.zip", "https://a.example/file.zip", std::nullopt, 10);
    EXPECT_EQ(guest->profileData.get().downloads.size(), 1u);
    EXPECT_EQ(snapshot(), before);
}

TEST_F(HistoryTest, RemovingAnEntryMatchesByIdAndSavesEvenWhenNothingMatched) {
    state->addHistory("A", "https://a.example/");
    state->addHistory("B", "https://b.example/");
    const auto a = history()[1];
    state->removeHistory(a);
    ASSERT_EQ(history().size(), 1u);
    EXPECT_EQ(history()[0].url, "https://b.example/");

    // An unsaved change reaches the disk through the save of a removal that
    // matched nothing.
    state->profileData.modify([](ProfileData& d) { d.history.clear(); });
    state->removeHistory(a);
    EXPECT_TRUE(reread().history.empty());

    // Passing an entry of the list itself is safe.
    state->addHistory("C", "https://c.example/");
    state->removeHistory(history()[0]);
    EXPECT_TRUE(history().empty());
}

TEST_F(HistoryTest, DownloadsAreKeptNewestFirstWithoutMerging) {
    state->addDownload("a.zip", "https://a.example/a.zip", "/home/u/Downloads/a.zip", 1234);
    state->addDownload("a.zip", "https://a.example/a.zip", std::nullopt, std::nullopt);
    ASSERT_EQ(downloads().size(), 2u);
    EXPECT_FALSE(downloads()[0].fileSize);
    EXPECT_FALSE(downloads()[0].localPath);
    EXPECT_EQ(downloads()[1].fileSize, 1234);
    EXPECT_EQ(downloads()[1].localPath, "/home/u/Downloads/a.zip");
    EXPECT_NE(downloads()[0].id, downloads()[1].id);
    EXPECT_EQ(reread().downloads, asStored(downloads(), &DownloadItem::downloadedAt));
}

TEST_F(HistoryTest, ClearingEmptiesTheListsOnDisk) {
    state->addHistory("A", "https://a.example/");
    state->addDownload("a.zip", "https://a.example/a.zip", std::nullopt, std::nullopt);
    state->clearHistory();
    state->clearDownloads();
    EXPECT_TRUE(history().empty());
    EXPECT_TRUE(downloads().empty());
    const auto stored = reread();
    EXPECT_TRUE(stored.history.empty());
    EXPECT_TRUE(stored.downloads.empty());
}

}  // namespace
}  // namespace quorelle::testing
