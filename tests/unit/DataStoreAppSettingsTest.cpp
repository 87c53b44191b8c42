// The data store's app settings file and its single-document machinery:
// first start, round trips, fallbacks, file modes, atomic replacement,
// deterministic output and moving damaged files aside.
#include "model/AppSettings.h"
#include "model/JsonCodec.h"
#include "model/PersistedTab.h"
#include "store/DataStore.h"
#include "store/MainQueue.h"
#include "unit/DataStoreTestSupport.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <regex>
#include <sys/stat.h>

using namespace quorelle;
using quorelle::testing::TemporaryFolder;
using quorelle::testing::UnwritableTree;

namespace {

// Whole-second dates only, so that a save and a load give the same value.
AppSettings settingsWithProfile(const std::string& id) {
    AppSettings settings = AppSettings::initial();
    for (auto& profile : settings.profiles) profile.createdAt = Date::parseIso8601("2024-04-01T08:00:00Z").value();
    settings.profiles.push_back(BrowserProfile{id, "Work", false, false, Date::parseIso8601("2024-05-01T10:00:00Z").value(),
                                               std::string("https://example.com/a.png"), std::nullopt});
    settings.setStartupProfile(id);
    settings.firstLaunchComplete = true;
    return settings;
}

// Names in the root that are neither the settings file nor a folder we expect.
std::vector<std::string> movedAside(const TemporaryFolder& root, const std::string& name) {
    std::vector<std::string> found;
    for (const auto& entry : quorelle::testing::listNames(root.path()))
        if (entry.starts_with(name + ".unreadable-")) found.push_back(entry);
    return found;
}

TEST(DataStoreAppSettings, FirstStartCreatesTheRootAndGivesTheInitialSettingsWithoutWriting) {
    TemporaryFolder temp;
    DataStore store(temp + "QuorelleData");
    auto loaded = store.loadAppSettings();
    EXPECT_EQ(loaded.status, FileStatus::missing);
    EXPECT_FALSE(loaded.damaged());
    EXPECT_EQ(loaded.value, AppSettings::initial());
    EXPECT_EQ(quorelle::testing::permissions(temp + "QuorelleData"), 0700u);
    EXPECT_TRUE(quorelle::testing::listNames(temp + "QuorelleData").empty());
}

TEST(DataStoreAppSettings, SavedSettingsLoadBackUnchanged) {
    TemporaryFolder root;
    DataStore store(root.path());
    AppSettings saved = settingsWithProfile("0f7c8a6e-5d1b-4c55-9a1e-3b2f6f0e9d11");
    store.saveAppSettings(saved);
    auto loaded = store.loadAppSettings();
    EXPECT_EQ(loaded.status, FileStatus::loaded);
    EXPECT_EQ(loaded.value, saved);
}

TEST(DataStoreAppSettings, SavingTwiceGivesIdenticalPrettyPrintedSortedBytes) {
    TemporaryFolder root;
    DataStore store(root.path());
    AppSettings saved = settingsWithProfile("p1");
    store.saveAppSettings(saved);
    store.flush();
    std::string first = quorelle::testing::readBytes(store.appSettingsURL());
    store.saveAppSettings(saved);
    store.flush();
    EXPECT_EQ(quorelle::testing::readBytes(store.appSettingsURL()), first);

    EXPECT_NE(first.find("\n  \"currentProfileID\": \"p1\""), std::string::npos) << first;
    std::vector<std::string> keys = {"currentProfileID", "firstLaunchComplete", "profiles", "selectedStartupProfileID",
                                     "showExtensionsPage", "showSyncPage"};
    std::size_t last = 0;
    for (const auto& key : keys) {
        auto at = first.find("\n  \"" + key + "\"");
        ASSERT_NE(at, std::string::npos) << key;
        EXPECT_GT(at, last) << key << " is out of order";
        last = at;
    }
}

TEST(DataStoreAppSettings, DatesAreWrittenFlooredToWholeSeconds) {
    TemporaryFolder root;
    DataStore store(root.path());
    AppSettings saved = settingsWithProfile("p1");
    Date whole = Date::parseIso8601("2024-05-01T09:30:00Z").value();
    saved.profiles.back().createdAt = Date{whole.secondsSinceReferenceDate + 0.75};
    store.saveAppSettings(saved);
    store.flush();
    std::string bytes = quorelle::testing::readBytes(store.appSettingsURL());
    EXPECT_NE(bytes.find("\"2024-05-01T09:30:00Z\""), std::string::npos) << bytes;
    EXPECT_EQ(store.loadAppSettings().value.profiles.back().createdAt, whole);
}

TEST(DataStoreAppSettings, FractionalDateInTheFileFailsTheWholeFile) {
    TemporaryFolder root;
    DataStore store(root.path());
    store.saveAppSettings(settingsWithProfile("p1"));
    store.flush();
    std::string bytes = quorelle::testing::readBytes(store.appSettingsURL());
    auto at = bytes.find("2024-05-01T10:00:00Z");
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, 20, "2024-05-01T10:00:00.250Z");
    quorelle::testing::writeBytes(store.appSettingsURL(), bytes);
    auto loaded = store.loadAppSettings();
    EXPECT_TRUE(loaded.damaged());
    EXPECT_EQ(loaded.value, AppSettings::initial());
}

TEST(DataStoreAppSettings, WrongTypesGiveTheNormalisedInitialSettingsAndReportDamage) {
    TemporaryFolder root;
    DataStore store(root.path());
    for (const char* text : {R"({"currentProfileID":"default","profiles":[],"firstLaunchComplete":"yes"})",
                             R"({"currentProfileID":7,"profiles":[]})", R"({"currentProfileID":"default","profiles":{}})",
                             R"([])", R"({"currentProfileID":"default","profiles":[],})", ""}) {
        quorelle::testing::writeBytes(store.appSettingsURL(), text);
        auto loaded = store.loadAppSettings();
        EXPECT_EQ(loaded.status, FileStatus::damaged) << text;
        EXPECT_EQ(loaded.value, AppSettings::initial()) << text;
        EXPECT_EQ(quorelle::testing::readBytes(store.appSettingsURL()), text) << "a load changed the file";
    }
}

TEST(DataStoreAppSettings, MissingOptionalKeysStillLoadAsAGoodFile) {
    TemporaryFolder root;
    DataStore store(root.path());
    quorelle::testing::writeBytes(store.appSettingsURL(), R"({"currentProfileID":"nobody","profiles":[]})");
    auto loaded = store.loadAppSettings();
    EXPECT_EQ(loaded.status, FileStatus::loaded);
    EXPECT_EQ(loaded.value.currentProfileID, "default");
    ASSERT_EQ(loaded.value.profiles.size(), 2u);
    EXPECT_FALSE(loaded.value.firstLaunchComplete);
}

TEST(DataStoreAppSettings, FilesAreWrittenWithMode0600AndFoldersWith0700) {
    TemporaryFolder temp;
    mode_t previous = ::umask(0);  // the most permissive umask must not leak into the files
    DataStore store(temp + "deep/QuorelleData");
    store.saveAppSettings(AppSettings::initial());
    store.flush();
    ::umask(previous);
    EXPECT_EQ(quorelle::testing::permissions(temp + "deep/QuorelleData/appSettings.json"), 0600u);
    EXPECT_EQ(quorelle::testing::permissions(temp + "deep/QuorelleData"), 0700u);
    EXPECT_EQ(quorelle::testing::permissions(temp + "deep"), 0700u);
}

TEST(DataStoreAppSettings, SaveReplacesTheFileInsteadOfRewritingItInPlace) {
    TemporaryFolder root;
    DataStore store(root.path());
    store.saveAppSettings(AppSettings::initial());
    store.flush();
    std::string path = store.appSettingsURL();
    std::string before = quorelle::testing::readBytes(path);
    std::ifstream oldReader(path, std::ios::binary);  // a reader that opened the old file
    struct stat oldInfo;
    ASSERT_EQ(::stat(path.c_str(), &oldInfo), 0);

    store.saveAppSettings(settingsWithProfile("p1"));
    store.flush();

    struct stat newInfo;
    ASSERT_EQ(::stat(path.c_str(), &newInfo), 0);
    EXPECT_NE(newInfo.st_ino, oldInfo.st_ino);
    std::ostringstream seen;
    seen << oldReader.rdbuf();
    EXPECT_EQ(seen.str(), before) << "the old file was changed under its reader";
    EXPECT_EQ(quorelle::testing::listNames(root.path()), std::vector<std::string>{"appSettings.json"})
        << "a temporary file was left behind";
}

TEST(DataStoreAppSettings, DamagedFileIsMovedAsideBeforeTheSaveThatReplacesIt) {
    TemporaryFolder root;
    DataStore store(root.path());
    const std::string garbage = "{\"currentProfileID\": \"work\", \"profiles\": [ {\"id\": \"wo";
    quorelle::testing::writeBytes(store.appSettingsURL(), garbage);

    auto loaded = store.loadAppSettings();
    ASSERT_TRUE(loaded.damaged());
    EXPECT_TRUE(movedAside(root, "appSettings.json").empty()) << "a load must not move anything";
    EXPECT_TRUE(store.isAwaitingMoveAside(store.appSettingsURL()));

    store.saveAppSettings(loaded.value);
    store.flush();

    auto aside = movedAside(root, "appSettings.json");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_TRUE(std::regex_match(aside[0], std::regex(R"(appSettings\.json\.unreadable-\d{8}T\d{6}Z)"))) << aside[0];
    EXPECT_EQ(quorelle::testing::readBytes(root + aside[0]), garbage);
    EXPECT_EQ(store.loadAppSettings().status, FileStatus::loaded);
    EXPECT_FALSE(store.isAwaitingMoveAside(store.appSettingsURL()));

    store.saveAppSettings(loaded.value);
    store.flush();
    EXPECT_EQ(movedAside(root, "appSettings.json").size(), 1u) << "only the damaged file is kept, once";
}

TEST(DataStoreAppSettings, UnreadableEntryInTheFilesPlaceIsDamagedAndMovedAside) {
    TemporaryFolder root;
    DataStore store(root.path());
    std::filesystem::create_directory(store.appSettingsURL());  // a folder where the file belongs
    quorelle::testing::writeBytes(store.appSettingsURL() + "/keep.txt", "mine");
    EXPECT_TRUE(store.loadAppSettings().damaged());
    store.saveAppSettings(AppSettings::initial());
    store.flush();
    auto aside = movedAside(root, "appSettings.json");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(quorelle::testing::readBytes(root + (aside[0] + "/keep.txt")), "mine");
    EXPECT_EQ(store.loadAppSettings().status, FileStatus::loaded);
}

TEST(DataStoreAppSettings, PipeInTheFilesPlaceDoesNotHangTheLoad) {
    TemporaryFolder root;
    DataStore store(root.path());
    ASSERT_EQ(::mkfifo(store.appSettingsURL().c_str(), 0600), 0);
    auto loaded = store.loadAppSettings();
    EXPECT_TRUE(loaded.damaged());
    EXPECT_EQ(loaded.value, AppSettings::initial());
}

TEST(DataStoreAppSettings, FailedMoveAsideSkipsTheSaveAndIsRetriedLater) {
    TemporaryFolder root;
    DataStore store(root.path());
    quorelle::testing::writeBytes(store.appSettingsURL(), "not json");
    ASSERT_TRUE(store.loadAppSettings().damaged());
    {
        UnwritableTree locked(root.path());
        if (!locked.effective()) GTEST_SKIP() << "folders cannot be made unwritable here";
        store.saveAppSettings(AppSettings::initial());
        store.flush();
        EXPECT_EQ(quorelle::testing::readBytes(store.appSettingsURL()), "not json");
        EXPECT_TRUE(store.isAwaitingMoveAside(store.appSettingsURL()));
    }
    store.saveAppSettings(AppSettings::initial());
    store.flush();
    EXPECT_EQ(movedAside(root, "appSettings.json").size(), 1u);
    EXPECT_EQ(store.loadAppSettings().status, FileStatus::loaded);
}

TEST(DataStoreAppSettings, DamagedFileRemovedBeforeTheSaveIsSimplyWritten) {
    TemporaryFolder root;
    DataStore store(root.path());
    quorelle::testing::writeBytes(store.appSettingsURL(), "[");
    ASSERT_TRUE(store.loadAppSettings().damaged());
    ::unlink(store.appSettingsURL().c_str());
    store.saveAppSettings(AppSettings::initial());
    store.flush();
    EXPECT_TRUE(movedAside(root, "appSettings.json").empty());
    EXPECT_EQ(store.loadAppSettings().status, FileStatus::loaded);
}

TEST(DataStoreAppSettings, UnwritableRootLeavesTheFileAlone) {
    TemporaryFolder root;
    DataStore store(root.path());
    store.saveAppSettings(settingsWithProfile("p1"));
    store.flush();
    std::string before = quorelle::testing::readBytes(store.appSettingsURL());
    UnwritableTree locked(root.path());
    if (!locked.effective()) GTEST_SKIP() << "folders cannot be made unwritable here";
    store.saveAppSettings(AppSettings::initial());
    store.flush();
    EXPECT_EQ(quorelle::testing::readBytes(store.appSettingsURL()), before);
    EXPECT_EQ(store.loadAppSettings().value, settingsWithProfile("p1"));
    EXPECT_EQ(quorelle::testing::listNames(root.path()), std::vector<std::string>{"appSettings.json"});
}

TEST(DataStoreAppSettings, RootThatCannotBeMadeGivesTheInitialSettings) {
    TemporaryFolder temp;
    quorelle::testing::writeBytes(temp + "file", "x");
    DataStore store(temp + "file/QuorelleData");  // a plain file stands where a folder must be
    auto loaded = store.loadAppSettings();
    // Whatever a folder put there later would hold was not read.
    EXPECT_EQ(loaded.status, FileStatus::damaged);
    EXPECT_EQ(loaded.value, AppSettings::initial());
    store.saveAppSettings(settingsWithProfile("p1"));
    store.flush();
    EXPECT_EQ(quorelle::testing::readBytes(temp + "file"), "x");
    EXPECT_TRUE(store.isAwaitingMoveAside(store.appSettingsURL()));
}

TEST(DataStoreAppSettings, ReadOnlyStoreCreatesAndWritesNothing) {
    TemporaryFolder temp;
    DataStore store(temp + "QuorelleData", DataStore::Access::readOnly);
    EXPECT_EQ(store.loadAppSettings().value, AppSettings::initial());
    store.saveAppSettings(settingsWithProfile("p1"));
    EXPECT_TRUE(store.profileDirectory("p1").has_value());
    EXPECT_FALSE(quorelle::testing::exists(temp + "QuorelleData"));
}

TEST(DataStoreAppSettings, ReadOnlyStoreReadsWhatIsThere) {
    TemporaryFolder root;
    DataStore(root.path()).saveAppSettings(settingsWithProfile("p1"));
    DataStore reader(root.path(), DataStore::Access::readOnly);
    EXPECT_EQ(reader.loadAppSettings().value, settingsWithProfile("p1"));
}

// ---- single documents -------------------------------------------------------

TEST(DataStoreDocuments, RecordListsRoundTripThroughTheGenericLoader) {
    TemporaryFolder root;
    DataStore store(root.path());
    std::vector<PersistedTab> tabs = {{Uuid::random(), "One", "https://one.example", std::nullopt},
                                      {Uuid::random(), "Two", "vx://settings", Uuid::random()}};
    ASSERT_TRUE(store.saveRecord(root + "tabs.json", tabs));
    auto loaded = store.loadRecord(root + "tabs.json", std::vector<PersistedTab>{});
    EXPECT_EQ(loaded.status, FileStatus::loaded);
    EXPECT_EQ(loaded.value, tabs);
}

TEST(DataStoreDocuments, OneBadElementFailsTheWholeFile) {
    TemporaryFolder root;
    DataStore store(root.path());
    quorelle::testing::writeBytes(
        root + "tabs.json",
        R"([{"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","title":"a","urlString":"https://a"},
            {"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","title":"b"}])");
    std::vector<PersistedTab> fallback = {{Uuid::random(), "fallback", "x", std::nullopt}};
    auto loaded = store.loadRecord(root + "tabs.json", fallback);
    EXPECT_TRUE(loaded.damaged());
    EXPECT_EQ(loaded.value, fallback);
}

TEST(DataStoreDocuments, MovedAsideNamesNeverOverwriteEachOther) {
    TemporaryFolder root;
    for (const char* content : {"first", "second", "third"}) {
        quorelle::testing::writeBytes(root + "f.json", content);
        ASSERT_TRUE(AtomicFile::renameAside(root + "f.json", ".unreadable-20240101T000000Z"));
    }
    EXPECT_EQ(quorelle::testing::readBytes(root + "f.json.unreadable-20240101T000000Z"), "first");
    EXPECT_EQ(quorelle::testing::readBytes(root + "f.json.unreadable-20240101T000000Z-2"), "second");
    EXPECT_EQ(quorelle::testing::readBytes(root + "f.json.unreadable-20240101T000000Z-3"), "third");
}

TEST(DataStoreDocuments, AtomicReplaceIntoAMissingFolderFailsWithoutLeavingFiles) {
    TemporaryFolder root;
    EXPECT_EQ(AtomicFile::replace(root + "absent/file.json", "x", AtomicFile::Durability::synced),
              std::errc::no_such_file_or_directory);
    EXPECT_TRUE(quorelle::testing::listNames(root.path()).empty());
}

TEST(DataStoreDocuments, RefusedSavesAreToldOncePerCauseAndWrittenByTheNextSaveOrTheClose) {
    using quorelle::testing::readBytes;
    // A full disk stands in as a file-size limit of nothing, which is named.
    const std::string tooLarge =
        "Couldn't save your browsing data: File too large: the file-size limit (ulimit -f) is 0 bytes";
    const std::string notAFolder = "Couldn't save your browsing data: Not a directory";
    TemporaryFolder root;
    GMainContext* context = g_main_context_new();
    MainQueue queue(context);
    g_main_context_unref(context);
    auto store = std::make_unique<DataStore>(root.path());
    std::vector<std::string> told;
    auto listening = store->tellSaveFailures(queue, [&told](const std::string& message) { told.push_back(message); });
    auto settle = [&] {
        store->flush();
        queue.drain();
    };
    const std::string a = root + "a.json";
    const std::string b = root + "folder/b.json";
    store->saveBytes(a, "a1");
    settle();
    {
        quorelle::testing::FullDisk full;
        store->saveBytes(a, "a2");
        settle();
        EXPECT_EQ(told, std::vector<std::string>{tooLarge});
        store->saveBytes(a, "a3");
        settle();
        EXPECT_EQ(told.size(), 1u) << "the same cause is told once";
        EXPECT_EQ(readBytes(a), "a1");
        EXPECT_EQ(quorelle::testing::listNames(root.path()), std::vector<std::string>{"a.json"});
    }
    // Another cause: a plain file stands where b's folder must be. This save
    // also writes a's refused save again, which now goes through.
    quorelle::testing::writeBytes(root + "folder", "x");
    store->saveBytes(b, "b1");
    settle();
    EXPECT_EQ(told, (std::vector<std::string>{tooLarge, notAFolder}));
    EXPECT_EQ(readBytes(a), "a3");
    // The cause gone, a save of another file writes b, making its folder.
    ::unlink((root + "folder").c_str());
    store->saveBytes(a, "a4");
    settle();
    EXPECT_EQ(readBytes(b), "b1");
    // Everything was on disk again, so a cause told before is told anew; what
    // is still refused when the store closes is written then.
    {
        quorelle::testing::FullDisk full;
        store->saveBytes(b, "b2");
        settle();
        EXPECT_EQ(told, (std::vector<std::string>{tooLarge, notAFolder, tooLarge}));
    }
    store.reset();
    EXPECT_EQ(readBytes(b), "b2");
    queue.drain();
    EXPECT_EQ(told.size(), 3u);
}

// The end of a run: saveEverything() is the store's last write, so its
// answer holds once the store has closed, whether the disk takes writes
// again by then or took the last one. It names what was lost, and only a
// change is: a refused save of what the file already holds lost nothing.
void lastWriteOfARun() {
    using quorelle::testing::readBytes;
    TemporaryFolder root;
    const std::string a = root + "a.json";
    const std::string history = root + "profiles/p1/history.json";
    const std::string size = root + "windowSize.json";
    auto store = std::make_unique<DataStore>(root.path());
    for (const auto& path : {a, history, size}) store->saveBytes(path, "1");
    store->flush();
    {
        quorelle::testing::UnwritableTree locked(root.path());
        ASSERT_TRUE(locked.effective()) << "the folders still take new files";
        for (const auto& path : {a, history, size}) store->saveBytes(path, "1");
        store->flush();
        EXPECT_EQ(store->saveEverything(), std::nullopt) << "nothing changed";
        for (const auto& path : {size, history, a}) store->saveBytes(path, "2");
        const auto lost = store->saveEverything();
        ASSERT_TRUE(lost.has_value());
        EXPECT_EQ(lost->what, "history, the window size and a.json");
        EXPECT_FALSE(lost->reason.empty());
    }
    {
        quorelle::testing::FullDisk full;
        store->saveBytes(a, "a2");
        const auto lost = store->saveEverything();
        ASSERT_TRUE(lost.has_value());
        EXPECT_EQ(lost->what, "a.json");
        EXPECT_EQ(lost->reason, "File too large: the file-size limit (ulimit -f) is 0 bytes");
    }
    store.reset();
    EXPECT_EQ(readBytes(a), "1") << "the quit said the latest change was lost";

    store = std::make_unique<DataStore>(root.path());
    {
        quorelle::testing::FullDisk full;
        store->saveBytes(a, "a3");
        store->flush();
    }
    EXPECT_EQ(store->saveEverything(), std::nullopt);
    EXPECT_EQ(readBytes(a), "a3");
}

// The store and its writer run bound by file modes, so the unwritable tree
// refuses them for the superuser too, whether or not folders can be made
// immutable here, and the full-disk checks after it always run.
TEST(DataStoreDocuments, TheLastWriteOfARunIsTheOneItsAnswerTells) {
    ASSERT_TRUE(quorelle::testing::runBoundByFileModes(lastWriteOfARun));
}

TEST(DataStoreDocuments, CachedAndSyncedReplacementsWriteTheSameBytes) {
    TemporaryFolder root;
    std::string bytes(100000, 'q');
    ASSERT_EQ(AtomicFile::replace(root + "a", bytes, AtomicFile::Durability::synced), std::error_code());
    ASSERT_EQ(AtomicFile::replace(root + "b", bytes, AtomicFile::Durability::cached), std::error_code());
    EXPECT_EQ(quorelle::testing::readBytes(root + "a"), bytes);
    EXPECT_EQ(quorelle::testing::readBytes(root + "b"), bytes);
    EXPECT_EQ(quorelle::testing::permissions(root + "b"), 0600u);
}

}  // namespace
