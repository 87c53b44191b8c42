// The eleven files of a profile folder: layout, per-file fallbacks, round
// trips of a large profile, determinism and damaged files.
#include "model/JsonCodec.h"
#include "model/ProfileData.h"
#include "store/DataStore.h"
#include "unit/DataStoreSampleProfile.h"
#include "unit/DataStoreTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstddef>
#include <functional>
#include <map>
#include <set>
#include <tuple>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quorelle;
using quorelle::testing::TemporaryFolder;

namespace {

const std::vector<std::string> elevenFiles = {
    "bookmarkFolders.json", "bookmarks.json", "downloads.json",   "history.json",
    "passwords-secure-reference.json", "proxies.json", "savedThemes.json", "settings.json",
    "shortcuts.json",       "tabGroups.json", "theme.json"};

quorelle::testing::SampleSize smallSize() { return {40, 30, 4, 8}; }

bool sameTiles(const std::vector<ShortcutItem>& a, const std::vector<ShortcutItem>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].title != b[i].title || a[i].url != b[i].url || a[i].sortOrder != b[i].sortOrder) return false;
    return true;
}

void expectFallbacks(const ProfileData& data) {
    EXPECT_TRUE(data.bookmarks.empty());
    EXPECT_TRUE(data.bookmarkFolders.empty());
    EXPECT_TRUE(data.history.empty());
    EXPECT_TRUE(sameTiles(data.shortcuts, ShortcutItem::defaultShortcuts()));
    EXPECT_EQ(data.settings, BrowserSettings::defaults());
    EXPECT_TRUE(data.proxies.empty());
    EXPECT_TRUE(data.tabGroups.empty());
    EXPECT_TRUE(data.downloads.empty());
    EXPECT_EQ(data.theme, ThemeSettings::chromeDefault(true));
    EXPECT_TRUE(data.passwordReferences.empty());
    EXPECT_TRUE(data.savedThemes.empty());
}

// From now on getrandom(2) fails in this process (and the program aborts if it asks).
bool forbidRandomNumbers() {
    sock_filter filter[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_getrandom, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    return ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program) == 0;
}

class DataStoreProfile : public ::testing::Test {
protected:
    std::string folder() const { return root_ + "profiles/p1"; }
    std::string file(const std::string& name) const { return folder() + "/" + name; }
    std::vector<std::string> asideIn(const std::string& dir) const {
        std::vector<std::string> found;
        for (const auto& name : quorelle::testing::listNames(dir))
            if (name.find(".unreadable-") != std::string::npos) found.push_back(name);
        return found;
    }

    TemporaryFolder root_;
    DataStore store_{root_.path()};
};

TEST_F(DataStoreProfile, FirstLoadCreatesOnlyTheEmptyFolderAndGivesTheFallbacks) {
    TemporaryFolder temp;
    DataStore store(temp + "QuorelleData");
    expectFallbacks(store.loadProfileData("default"));
    std::string folder = temp + "QuorelleData/profiles/default";
    EXPECT_EQ(quorelle::testing::permissions(folder), 0700u);
    EXPECT_EQ(quorelle::testing::permissions(temp + "QuorelleData/profiles"), 0700u);
    EXPECT_TRUE(quorelle::testing::listNames(folder).empty());
    EXPECT_EQ(quorelle::testing::listNames(temp + "QuorelleData"), std::vector<std::string>{"profiles"});
}

TEST_F(DataStoreProfile, SaveCreatesTheFolderAndAllElevenFilesWithMode0600) {
    store_.saveProfileData(ProfileData::empty(), "p1");
    store_.flush();
    EXPECT_EQ(quorelle::testing::listNames(folder()), elevenFiles);
    for (const auto& name : elevenFiles) EXPECT_EQ(quorelle::testing::permissions(file(name)), 0600u) << name;
    EXPECT_EQ(quorelle::testing::permissions(folder()), 0700u);
    EXPECT_EQ(quorelle::testing::readBytes(file("history.json")), "[]");
    EXPECT_EQ(store_.loadProfileData("p1"), ProfileData::empty());
}

TEST_F(DataStoreProfile, LargeProfileLoadsBackEqual) {
    ProfileData saved = quorelle::testing::makeSampleProfile(1);
    store_.saveProfileData(saved, "p1");
    EXPECT_EQ(store_.loadProfileData("p1"), saved);
}

TEST_F(DataStoreProfile, LoadingMakesNoRandomIdsForRecordsTheFilesHold) {
    const ProfileData saved = quorelle::testing::makeSampleProfile(12, smallSize());
    store_.saveProfileData(saved, "p1");
    store_.flush();
    const pid_t child = ::fork();
    if (child == 0) {
        if (!forbidRandomNumbers()) ::_exit(2);
        DataStore reader(root_.path(), DataStore::Access::readOnly);
        ::_exit(reader.loadProfileData("p1") == saved ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the load asked for random numbers";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(DataStoreProfile, SavingTwiceGivesIdenticalBytesInEveryFile) {
    ProfileData saved = quorelle::testing::makeSampleProfile(2, smallSize());
    store_.saveProfileData(saved, "p1");
    store_.flush();
    std::vector<std::string> first;
    for (const auto& name : elevenFiles) first.push_back(quorelle::testing::readBytes(file(name)));
    store_.saveProfileData(store_.loadProfileData("p1"), "p1");
    store_.flush();
    for (std::size_t i = 0; i < elevenFiles.size(); ++i)
        EXPECT_EQ(quorelle::testing::readBytes(file(elevenFiles[i])), first[i]) << elevenFiles[i];
}

TEST_F(DataStoreProfile, InvalidHistoryFallsBackAloneWhileTheOtherFilesLoad) {
    ProfileData saved = quorelle::testing::makeSampleProfile(3, smallSize());
    store_.saveProfileData(saved, "p1");
    store_.flush();
    quorelle::testing::writeBytes(file("history.json"), "[{\"id\": ");
    ProfileData loaded = store_.loadProfileData("p1");
    EXPECT_TRUE(loaded.history.empty());
    loaded.history = saved.history;
    EXPECT_EQ(loaded, saved);
}

TEST_F(DataStoreProfile, OneBookmarkWithoutARequiredKeyEmptiesTheBookmarks) {
    store_.saveProfileData(quorelle::testing::makeSampleProfile(4, smallSize()), "p1");
    store_.flush();
    auto document = json::parse(quorelle::testing::readBytes(file("bookmarks.json"))).value();
    document[7].erase("url");
    quorelle::testing::writeBytes(file("bookmarks.json"), json::dumpPretty(document));
    ProfileData loaded = store_.loadProfileData("p1");
    EXPECT_TRUE(loaded.bookmarks.empty());
    EXPECT_EQ(loaded.bookmarkFolders.size(), 4u);
}

TEST_F(DataStoreProfile, EmptyShortcutsArrayMeansNoShortcutsButAMissingFileMeansTheDefaults) {
    ProfileData saved = ProfileData::empty();
    saved.shortcuts.clear();
    store_.saveProfileData(saved, "p1");
    store_.flush();
    EXPECT_EQ(quorelle::testing::readBytes(file("shortcuts.json")), "[]");
    EXPECT_TRUE(store_.loadProfileData("p1").shortcuts.empty());

    ::unlink(file("shortcuts.json").c_str());
    EXPECT_TRUE(sameTiles(store_.loadProfileData("p1").shortcuts, ShortcutItem::defaultShortcuts()));
}

TEST_F(DataStoreProfile, FallbackShortcutsGetFreshIdsOnEveryLoad) {
    auto first = store_.loadProfileData("p1").shortcuts;
    auto second = store_.loadProfileData("p2").shortcuts;
    ASSERT_FALSE(first.empty());
    EXPECT_NE(first.front().id, second.front().id);
}

TEST_F(DataStoreProfile, SettingsOrThemeHoldingAnArrayGiveTheDefaults) {
    ProfileData saved = quorelle::testing::makeSampleProfile(5, smallSize());
    store_.saveProfileData(saved, "p1");
    store_.flush();
    quorelle::testing::writeBytes(file("settings.json"), "[]");
    quorelle::testing::writeBytes(file("theme.json"), "[{}]");
    ProfileData loaded = store_.loadProfileData("p1");
    EXPECT_EQ(loaded.settings, BrowserSettings::defaults());
    EXPECT_EQ(loaded.theme, ThemeSettings::chromeDefault(true));
    EXPECT_EQ(loaded.history, saved.history);
}

TEST_F(DataStoreProfile, WrongTypedSettingsKeyGivesTheDefaultSettings) {
    store_.saveProfileData(quorelle::testing::makeSampleProfile(6, smallSize()), "p1");
    store_.flush();
    auto document = json::parse(quorelle::testing::readBytes(file("settings.json"))).value();
    document["showBookmarksBar"] = "yes";
    quorelle::testing::writeBytes(file("settings.json"), json::dumpPretty(document));
    EXPECT_EQ(store_.loadProfileData("p1").settings, BrowserSettings::defaults());
}

TEST_F(DataStoreProfile, HistoryDatesAreSavedAsWholeSecondsThatReadBack) {
    // Dates whose offsets reach a day past the years 0000 to 9999 in UTC.
    store_.saveProfileData(ProfileData::empty(), "p1");
    store_.flush();
    quorelle::testing::writeBytes(
        file("history.json"),
        R"([{"id": "6BA7B810-9DAD-11D1-80B4-00C04FD430C8", "title": "late", "url": "https://l.example/",
             "visitedAt": "9999-12-31T23:00:00-02:00"},
            {"id": "6BA7B811-9DAD-11D1-80B4-00C04FD430C8", "title": "early", "url": "https://e.example/",
             "visitedAt": "0000-01-01T00:30:00+01:00"}])");
    ProfileData loaded = store_.loadProfileData("p1");
    ASSERT_EQ(loaded.history.size(), 2u);

    // One visit later the whole history is saved, and it loads again.
    Date whole = Date::parseIso8601("2025-03-01T09:30:00Z").value();
    loaded.history.insert(loaded.history.begin(),
                          {Uuid::random(), "t", "https://t.example", Date{whole.secondsSinceReferenceDate + 0.75}});
    store_.saveProfileData(loaded, "p1");
    store_.flush();
    const std::string bytes = quorelle::testing::readBytes(file("history.json"));
    for (const char* written : {"\"2025-03-01T09:30:00Z\"", "\"9999-12-31T23:59:59Z\"", "\"0000-01-01T00:00:00Z\""})
        EXPECT_NE(bytes.find(written), std::string::npos) << written << "\n" << bytes;
    const ProfileData again = store_.loadProfileData("p1");
    ASSERT_EQ(again.history.size(), 3u);
    EXPECT_EQ(again.history[0].visitedAt, whole);
    EXPECT_EQ(std::vector(again.history.begin() + 1, again.history.end()),
              std::vector(loaded.history.begin() + 1, loaded.history.end()));
    EXPECT_TRUE(asideIn(folder()).empty());
}

TEST_F(DataStoreProfile, LoadingWritesNothing) {
    store_.saveProfileData(quorelle::testing::makeSampleProfile(7, smallSize()), "p1");
    store_.flush();
    quorelle::testing::writeBytes(file("downloads.json"), "{broken");
    auto before = quorelle::testing::listNames(folder());
    store_.loadProfileData("p1");
    EXPECT_EQ(quorelle::testing::listNames(folder()), before);
    EXPECT_EQ(quorelle::testing::readBytes(file("downloads.json")), "{broken");
}

// A history damaged as a stray byte, a power cut's NUL bytes before the
// text or NUL padding after it (which a parser can take for the end of its
// input) is set aside byte for byte, and the next save writes a fresh file.
TEST_F(DataStoreProfile, DamagedFileIsMovedAsideBeforeTheSaveAndTheOthersAreNot) {
    const std::vector<std::pair<const char*, std::function<std::string(std::string)>>> damages = {
        {"a stray byte in the middle", [](std::string text) { return text.insert(text.size() / 2, "\x01"); }},
        {"an empty list and a NUL before it", [](std::string text) { return std::string("[]\0", 3) + text; }},
        {"NUL padding after it", [](std::string text) { return text + std::string(4096, '\0'); }},
    };
    for (const auto& [what, damage] : damages) {
        SCOPED_TRACE(what);
        std::filesystem::remove_all(folder());
        ProfileData saved = quorelle::testing::makeSampleProfile(8, smallSize());
        store_.saveProfileData(saved, "p1");
        store_.flush();
        const std::string damaged = damage(quorelle::testing::readBytes(file("history.json")));
        quorelle::testing::writeBytes(file("history.json"), damaged);

        ProfileData loaded = store_.loadProfileData("p1");
        ASSERT_TRUE(loaded.history.empty());
        store_.saveProfileData(loaded, "p1");
        store_.flush();

        auto aside = asideIn(folder());
        ASSERT_EQ(aside.size(), 1u);
        EXPECT_TRUE(aside[0].starts_with("history.json.unreadable-"));
        EXPECT_EQ(quorelle::testing::readBytes(folder() + "/" + aside[0]), damaged);
        EXPECT_EQ(quorelle::testing::readBytes(file("history.json")), "[]");
        EXPECT_EQ(store_.loadProfileData("p1").bookmarks, saved.bookmarks);
    }
}

TEST_F(DataStoreProfile, UnwritableTreeLeavesEveryFileUnchangedAndLoadsStillWork) {
    ProfileData saved = quorelle::testing::makeSampleProfile(9, smallSize());
    store_.saveProfileData(saved, "p1");
    store_.flush();
    std::vector<std::string> before;
    for (const auto& name : elevenFiles) before.push_back(quorelle::testing::readBytes(file(name)));

    quorelle::testing::UnwritableTree locked(root_.path());
    if (!locked.effective()) GTEST_SKIP() << "folders cannot be made unwritable here";
    store_.saveProfileData(ProfileData::empty(), "p1");
    store_.saveProfileData(ProfileData::empty(), "p2");
    store_.flush();
    for (std::size_t i = 0; i < elevenFiles.size(); ++i)
        EXPECT_EQ(quorelle::testing::readBytes(file(elevenFiles[i])), before[i]) << elevenFiles[i];
    EXPECT_EQ(quorelle::testing::listNames(folder()), elevenFiles);
    EXPECT_EQ(store_.loadProfileData("p1"), saved);
    expectFallbacks(store_.loadProfileData("p2"));
}

// A start that could not read a profile (its folder or a file refused the
// look) never replaces what it did
// not read once it can reach it again while running: every file is set aside
// first, and a save that still cannot see what is there writes nothing. File
// modes bind the superuser here too.
TEST_F(DataStoreProfile, WhatAStartCouldNotReadIsSetAsideNotReplacedOnceItCanBeReached) {
    namespace fs = std::filesystem;
    const auto privateFiles = [this] {
        for (const auto& name : quorelle::testing::listNames(folder())) ::chmod(file(name).c_str(), 0600);
    };
    const std::vector<std::tuple<const char*, std::function<void()>, std::function<void()>>> ways = {
        {"the folder cannot be opened", [this] { ::chmod(folder().c_str(), 0); },
         [this] { ::chmod(folder().c_str(), 0700); }},
        {"a file cannot be opened", [this] { ::chmod(file("history.json").c_str(), 0); }, privateFiles},
    };
    for (const auto& [what, hide, reveal] : ways) {
        SCOPED_TRACE(what);
        fs::remove_all(root_.path() + "/profiles");
        const ProfileData saved = quorelle::testing::makeSampleProfile(13, smallSize());
        store_.saveProfileData(saved, "p1");
        store_.flush();
        std::map<std::string, std::string> before;
        for (const auto& name : elevenFiles) before[name] = quorelle::testing::readBytes(file(name));

        HistoryItem visit;
        visit.url = "https://visited.example/";
        visit.visitedAt = quorelle::testing::sampleDate(1);
        ASSERT_TRUE(quorelle::testing::runBoundByFileModes([&] {
            hide();
            DataStore started(root_.path());
            ProfileData shown = started.loadProfileData("p1");
            EXPECT_TRUE(shown.history.empty());
            shown.history.push_back(visit);
            started.saveProfileData(shown, "p1");
            started.flush();
            reveal();
            started.saveProfileData(shown, "p1");
        }));
        privateFiles();
        EXPECT_EQ(store_.loadProfileData("p1").history, std::vector<HistoryItem>{visit});
        std::multiset<std::string> kept;
        for (const auto& name : quorelle::testing::listNames(folder())) kept.insert(quorelle::testing::readBytes(file(name)));
        for (const auto& [name, bytes] : before) EXPECT_TRUE(kept.contains(bytes)) << name << " was lost";
    }
}

// What stands where the profiles folder or a profile's folder belongs and is
// no folder is set aside as it is, a folder is made in its place, and the
// session is saved there.
TEST_F(DataStoreProfile, WhatTakesAFoldersPlaceIsSetAsideAndTheSessionSavedInAFolderMadeThere) {
    namespace fs = std::filesystem;
    const std::string profiles = root_.path() + "/profiles";
    const auto fileThere = [](const std::string& path) { quorelle::testing::writeBytes(path, "not a folder"); };
    const auto linkThere = [](const std::string& target) {
        return [target](const std::string& path) { fs::create_symlink(target, path); };
    };
    const std::vector<std::tuple<const char*, std::string, std::function<void(const std::string&)>>> ways = {
        {"a file in a profile folder's place", folder(), fileThere},
        {"a file in the profiles folder's place", profiles, fileThere},
        {"a loop of links in a profile folder's place", folder(), linkThere("p1")},
        {"a link to nothing in the profiles folder's place", profiles, linkThere(root_.path() + "/gone")},
    };
    HistoryItem visit;
    visit.url = "https://visited.example/";
    visit.visitedAt = quorelle::testing::sampleDate(2);
    for (const auto& [what, place, make] : ways) {
        SCOPED_TRACE(what);
        for (const auto& name : quorelle::testing::listNames(root_.path())) fs::remove_all(root_ + name);
        fs::create_directories(fs::path(place).parent_path());
        make(place);
        const bool link = fs::is_symlink(place);
        const std::string kept = link ? fs::read_symlink(place).string() : quorelle::testing::readBytes(place);
        {
            DataStore started(root_.path());
            ProfileData shown = started.loadProfileData("p1");
            EXPECT_TRUE(shown.history.empty());
            shown.history.push_back(visit);
            started.saveProfileData(shown, "p1");
            EXPECT_EQ(started.saveEverything(), std::nullopt);
            EXPECT_EQ(started.writeProblem(folder()), std::nullopt);
        }
        EXPECT_EQ(store_.loadProfileData("p1").history, std::vector<HistoryItem>{visit});
        const fs::path parent = fs::path(place).parent_path();
        std::vector<std::string> aside;
        for (const auto& name : quorelle::testing::listNames(parent))
            if (name.starts_with(fs::path(place).filename().string() + ".unreadable-")) aside.push_back(name);
        ASSERT_EQ(aside.size(), 1u);
        const fs::path setAside = parent / aside[0];
        EXPECT_EQ(fs::is_symlink(setAside), link);
        EXPECT_EQ(link ? fs::read_symlink(setAside).string() : quorelle::testing::readBytes(setAside), kept);
    }
}

// Why a folder takes no new files: judged where it would be made while it is
// not made yet, and named for what it is when it is no folder; a folder above
// it that refuses is named itself. File modes bind the superuser here too.
TEST_F(DataStoreProfile, WriteProblemsAreJudgedWhereTheFolderWouldBeMadeAndNamedForWhatIsThere) {
    namespace fs = std::filesystem;
    const std::string profiles = root_.path() + "/profiles";
    fs::create_directories(profiles);
    EXPECT_EQ(store_.writeProblem(profiles + "/not/made/yet"), std::nullopt);
    quorelle::testing::writeBytes(profiles + "/file", "x");
    fs::create_symlink("loop", profiles + "/loop");
    fs::create_symlink(root_.path() + "/gone", profiles + "/dangling");
    EXPECT_EQ(store_.writeProblem(profiles + "/file"), profiles + "/file is not a folder");
    EXPECT_EQ(store_.writeProblem(profiles + "/file/p1"), profiles + "/file is not a folder");
    EXPECT_EQ(store_.writeProblem(profiles + "/loop"), profiles + "/loop is a loop of symbolic links");
    EXPECT_EQ(store_.writeProblem(profiles + "/dangling"), profiles + "/dangling is a link to nothing");
    ASSERT_TRUE(quorelle::testing::runBoundByFileModes([&] {
        ::chmod(profiles.c_str(), 0500);
        EXPECT_EQ(store_.writeProblem(profiles + "/p9/deeper"), profiles + ": Permission denied");
        EXPECT_EQ(store_.writeProblem(profiles), "Permission denied");
        EXPECT_EQ(store_.writeProblem(root_.path()), std::nullopt);
        ::chmod(profiles.c_str(), 0);
        EXPECT_EQ(store_.writeProblem(profiles + "/default"), profiles + ": Permission denied");
        ::chmod(profiles.c_str(), 0700);
    }));
}

TEST_F(DataStoreProfile, OtherFilesInTheProfileFolderAreLeftAlone) {
    quorelle::testing::writeBytes(file("password-6F9619FF-8B86-D011-B42D-00C04FC964FF.json"), "{\"kept\":true}");
    store_.saveProfileData(ProfileData::empty(), "p1");
    store_.loadProfileData("p1");
    EXPECT_EQ(quorelle::testing::readBytes(file("password-6F9619FF-8B86-D011-B42D-00C04FC964FF.json")),
              "{\"kept\":true}");
}

TEST_F(DataStoreProfile, ReadOnlyStoreLoadsWithoutCreatingTheFolder) {
    DataStore reader(root_.path(), DataStore::Access::readOnly);
    expectFallbacks(reader.loadProfileData("p1"));
    reader.saveProfileData(ProfileData::empty(), "p1");
    EXPECT_FALSE(quorelle::testing::exists(folder()));

    store_.saveProfileData(quorelle::testing::makeSampleProfile(10, smallSize()), "p1");
    store_.flush();
    EXPECT_EQ(reader.loadProfileData("p1"), quorelle::testing::makeSampleProfile(10, smallSize()));
}

}  // namespace
