// The start-up tidy of a data folder: leftovers of saves cut short by a crash
// are removed and modes made private (only ever by taking permissions away),
// and nothing is reached through a link.
#include "store/AtomicFile.h"
#include "store/DataFolderLock.h"
#include "store/DataFolderTidy.h"
#include "unit/DataStoreTestSupport.h"

#include <gtest/gtest.h>

using namespace quorelle;
using quorelle::testing::TemporaryFolder;
using quorelle::testing::exists;
using quorelle::testing::listNames;
using quorelle::testing::permissions;
using quorelle::testing::writeBytes;
using Clock = DataFolderTidy::Clock;

namespace {

const Clock::time_point processStart = Clock::now() - std::chrono::minutes(1);
const Clock::time_point anHourEarlier = processStart - std::chrono::hours(1);

// The file or folder at `path` (never a link's target) as last written at `when`.
void setLastWritten(const std::string& path, Clock::time_point when) {
    const auto since = when.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
    const timespec time{seconds.count(),
                        static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds).count())};
    const timespec times[2] = {time, time};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// A temporary file exactly as a replacement of `target` makes it.
std::string leftoverOf(const std::string& target, Clock::time_point written) {
    std::string path = AtomicFile::temporaryPrefix(target) + "XXXXXX";
    const int fd = g_mkstemp_full(path.data(), O_WRONLY | O_CLOEXEC, 0600);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::write(fd, "{\"cut\":", 7), 7);
    ::close(fd);
    setLastWritten(path, written);
    return path;
}

std::string nameOf(const std::string& path) { return path.substr(path.rfind('/') + 1); }

void chmodTo(const std::string& path, mode_t mode) { ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path; }

TEST(DataFolderTidy, RemovesOldLeftoversOfSavesOnlyAndMakesTheFolderPrivateWithoutFollowingLinks) {
    TemporaryFolder temp;
    TemporaryFolder outside;
    const std::string root = temp + "QuorelleData";
    const std::string profile = root + "/profiles/default";
    const std::string other = root + "/profiles/p2";
    for (const auto& [path, bytes] : std::vector<std::pair<std::string, std::string>>{
             {root + "/appSettings.json", "{}"}, {profile + "/history.json", "[]"}, {other + "/theme.json", "{}"}})
        writeBytes(path, bytes);

    std::vector<std::string> removed;
    for (int i = 0; i < 3; ++i) {
        removed.push_back(leftoverOf(root + "/appSettings.json", anHourEarlier));
        removed.push_back(leftoverOf(profile + "/history.json", anHourEarlier));
    }
    removed.push_back(leftoverOf(other + "/theme.json", anHourEarlier));
    for (const auto& path : removed) EXPECT_TRUE(AtomicFile::isTemporaryName(nameOf(path))) << path;
    const std::string newer = leftoverOf(profile + "/history.json", Clock::now());
    const std::vector<std::string> lookAlikes = {
        ".history.json.tmp-Ab12C", ".history.json.tmp-Ab12Cde", "history.json.tmp-Ab12Cd", ".history.json.tmp-Ab1_Cd",
        "..tmp-Ab12Cd", ".history.json.tmp-Ab12Cd.json", ".history.json.unreadable-20260101T000000Z"};
    for (const auto& name : lookAlikes) {
        EXPECT_FALSE(AtomicFile::isTemporaryName(name)) << name;
        writeBytes(profile + "/" + name, "kept");
        setLastWritten(profile + "/" + name, anHourEarlier);
    }
    ASSERT_TRUE(std::filesystem::create_directory(profile + "/.bookmarks.json.tmp-Ab12Cd"));
    setLastWritten(profile + "/.bookmarks.json.tmp-Ab12Cd", anHourEarlier);

    // Links to a file and a folder elsewhere, one of them named like a leftover.
    writeBytes(outside + "target.json", "theirs");
    writeBytes(outside + "folder/.theme.json.tmp-Zz99Yy", "theirs");
    setLastWritten(outside + "folder/.theme.json.tmp-Zz99Yy", anHourEarlier);
    setLastWritten(outside + "target.json", anHourEarlier);
    chmodTo(outside + "target.json", 0644);
    chmodTo(outside + "folder", 0755);
    ASSERT_EQ(::symlink((outside + "target.json").c_str(), (root + "/linked.json").c_str()), 0);
    ASSERT_EQ(::symlink((outside + "target.json").c_str(), (profile + "/.settings.json.tmp-Ab12Cd").c_str()), 0);
    ASSERT_EQ(::symlink((outside + "folder").c_str(), (root + "/profiles/linked").c_str()), 0);

    for (const auto& folder : {root, root + "/profiles", profile}) chmodTo(folder, 0755);
    chmodTo(root + "/appSettings.json", 0644);
    chmodTo(profile + "/history.json", 0664);
    chmodTo(other + "/theme.json", 0400);
    chmodTo(other, 0750);
    // Made read-only by its owner, and closed even to its owner: kept so.
    const std::string readOnly = root + "/profiles/p3";
    const std::string closed = root + "/profiles/p4";
    writeBytes(readOnly + "/theme.json", "{}");
    ASSERT_TRUE(std::filesystem::create_directories(closed));
    chmodTo(readOnly + "/theme.json", 0444);
    chmodTo(readOnly, 0555);
    chmodTo(closed, 0300);

    const DataFolderLock lock(root);
    ASSERT_EQ(lock.state(), DataFolderLock::State::held);
    DataFolderTidy::run(lock, processStart);

    for (const auto& path : removed) EXPECT_FALSE(exists(path)) << path;
    EXPECT_TRUE(exists(newer)) << "a leftover newer than the process may be a live save";
    for (const auto& name : lookAlikes) EXPECT_EQ(quorelle::testing::readBytes(profile + "/" + name), "kept") << name;
    EXPECT_TRUE(std::filesystem::is_directory(profile + "/.bookmarks.json.tmp-Ab12Cd"));
    EXPECT_EQ(listNames(root), (std::vector<std::string>{".lock", "appSettings.json", "linked.json", "profiles"}));
    EXPECT_EQ(listNames(other), std::vector<std::string>{"theme.json"});

    for (const auto& folder : {root, root + "/profiles", profile, other, profile + "/.bookmarks.json.tmp-Ab12Cd"})
        EXPECT_EQ(permissions(folder), 0700u) << folder;
    for (const auto& file : {root + "/.lock", root + "/appSettings.json", profile + "/history.json", newer,
                             profile + "/" + lookAlikes.front()})
        EXPECT_EQ(permissions(file), 0600u) << file;
    // Permissions are only ever taken away.
    EXPECT_EQ(permissions(other + "/theme.json"), 0400u);
    EXPECT_EQ(permissions(readOnly), 0500u);
    EXPECT_EQ(permissions(readOnly + "/theme.json"), 0400u);
    EXPECT_EQ(permissions(closed), 0300u);
    chmodTo(readOnly, 0700);

    EXPECT_TRUE(std::filesystem::is_symlink(root + "/linked.json"));
    EXPECT_TRUE(std::filesystem::is_symlink(profile + "/.settings.json.tmp-Ab12Cd"));
    EXPECT_TRUE(std::filesystem::is_symlink(root + "/profiles/linked"));
    EXPECT_EQ(permissions(outside + "target.json"), 0644u);
    EXPECT_EQ(permissions(outside + "folder"), 0755u);
    EXPECT_EQ(quorelle::testing::readBytes(outside + "folder/.theme.json.tmp-Zz99Yy"), "theirs");
}

TEST(DataFolderTidy, TouchesNothingWithoutTheFolderHeldOrWhenTheFolderIsALink) {
    TemporaryFolder temp;
    const std::string root = temp + "QuorelleData";
    writeBytes(root + "/appSettings.json", "{}");
    const std::string leftover = leftoverOf(root + "/appSettings.json", anHourEarlier);
    chmodTo(root + "/appSettings.json", 0644);
    chmodTo(root, 0755);
    {
        const DataFolderLock owner(root);
        ASSERT_EQ(owner.state(), DataFolderLock::State::held);
        // A second start while the first runs: its saves are the first one's.
        const DataFolderLock second(root);
        ASSERT_EQ(second.state(), DataFolderLock::State::inUse);
        DataFolderTidy::run(second, Clock::now());
    }
    EXPECT_TRUE(exists(leftover));
    EXPECT_EQ(permissions(root), 0755u);
    EXPECT_EQ(permissions(root + "/appSettings.json"), 0644u);

    const std::string linked = temp + "LinkedData";
    ASSERT_EQ(::symlink(root.c_str(), linked.c_str()), 0);
    const DataFolderLock lock(linked);
    ASSERT_EQ(lock.state(), DataFolderLock::State::held);
    DataFolderTidy::run(lock, Clock::now());
    EXPECT_TRUE(exists(leftover));
    EXPECT_EQ(permissions(root), 0755u);
    EXPECT_EQ(permissions(root + "/appSettings.json"), 0644u);
}

}  // namespace
