// Crash safety: a child process saves a large profile over and over and is
// killed with SIGKILL at random moments. After every kill each file must
// hold, byte for byte, either the old or the new contents, and load cleanly.
#include "model/JsonCodec.h"
#include "reliability/DataStoreCrashValues.h"
#include "store/AtomicFile.h"
#include "store/DataFolderLock.h"
#include "store/DataFolderTidy.h"
#include "store/DataStore.h"
#include "unit/DataStoreTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <map>
#include <poll.h>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

using namespace quorelle;
using quorelle::testing::TemporaryFolder;

namespace {

constexpr int kills = 60;
const std::vector<std::string> profileFiles = {
    "bookmarks.json", "bookmarkFolders.json", "history.json",  "shortcuts.json",
    "settings.json",  "proxies.json",         "tabGroups.json", "downloads.json",
    "theme.json",     "passwords-secure-reference.json",        "savedThemes.json"};

// Relative path of every file a save writes -> its bytes.
using Snapshot = std::map<std::string, std::string>;

// Loads the folder's settings and profile; fails unless both load cleanly
// and are one of the two values.
void expectLoadsCleanly(const std::string& root) {
    const ProfileData oldProfile = quorelle::testing::crashProfile(0);
    const ProfileData freshProfile = quorelle::testing::crashProfile(1);
    DataStore reader(root, DataStore::Access::readOnly);
    auto settings = reader.loadAppSettings();
    ASSERT_EQ(settings.status, FileStatus::loaded);
    ProfileData loaded = reader.loadProfileData(quorelle::testing::crashProfileID);
    ASSERT_TRUE(loaded.history == oldProfile.history || loaded.history == freshProfile.history);
    ASSERT_TRUE(loaded.bookmarks == oldProfile.bookmarks || loaded.bookmarks == freshProfile.bookmarks);
}

// Every file a save of value `which` writes, byte for byte; both values load
// cleanly, so a folder whose every file is one or the other does too.
Snapshot expectedFiles(int which) {
    TemporaryFolder root;
    DataStore store(root.path());
    store.saveAppSettings(quorelle::testing::crashSettings(which));
    store.saveProfileData(quorelle::testing::crashProfile(which), quorelle::testing::crashProfileID);
    store.flush();
    expectLoadsCleanly(root.path());
    Snapshot files{{"appSettings.json", quorelle::testing::readBytes(root + "appSettings.json")}};
    std::string folder = std::string("profiles/") + quorelle::testing::crashProfileID + "/";
    for (const auto& name : profileFiles) files[folder + name] = quorelle::testing::readBytes(root + (folder + name));
    return files;
}

// The child, started with its standard output on a pipe.
class CrashChild {
public:
    explicit CrashChild(const std::string& root) {
        int fds[2];
        if (::pipe(fds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        std::string program = QUORELLE_CRASH_CHILD;
        char* argv[] = {program.data(), const_cast<char*>(root.c_str()), nullptr};
        if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv, environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        output_ = fds[0];
    }
    ~CrashChild() {
        killNow();
        if (output_ >= 0) ::close(output_);
    }
    CrashChild(const CrashChild&) = delete;
    CrashChild& operator=(const CrashChild&) = delete;

    // Waits for the child's "ready" line.
    bool waitUntilReady() {
        if (pid_ < 0) return false;
        pollfd wait{output_, POLLIN, 0};
        if (::poll(&wait, 1, 20000) != 1) return false;
        char line[16] = {};
        return ::read(output_, line, sizeof line - 1) > 0 && std::string_view(line).starts_with("ready");
    }

    // SIGKILL, then reaps; true when the child was still running until then.
    bool killNow() {
        if (pid_ < 0) return false;
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

private:
    pid_t pid_ = -1;
    int output_ = -1;
};

TEST(DataStoreCrash, EveryFileIsWholeAfterAKillAtARandomMoment) {
    const Snapshot old = expectedFiles(0);
    const Snapshot fresh = expectedFiles(1);
    for (const auto& [path, bytes] : old) ASSERT_NE(bytes, fresh.at(path)) << path << " must differ between the two";

    TemporaryFolder root;
    {
        DataStore store(root.path());
        store.saveAppSettings(quorelle::testing::crashSettings(0));
        store.saveProfileData(quorelle::testing::crashProfile(0), quorelle::testing::crashProfileID);
    }

    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<int> delayMicroseconds(0, 40000);  // a few whole saves
    int mixed = 0;  // kills that left some files old and others new: a save was cut in the middle
    for (int kill = 0; kill < kills; ++kill) {
        CrashChild child(root.path());
        ASSERT_TRUE(child.waitUntilReady()) << "the child did not start";
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ASSERT_TRUE(child.killNow()) << "the child ended before it was killed";

        int oldCount = 0, freshCount = 0;
        for (const auto& [path, bytes] : old) {
            std::string found = quorelle::testing::readBytes(root + path);
            bool isOld = found == bytes, isFresh = found == fresh.at(path);
            ASSERT_TRUE(isOld || isFresh) << "kill " << kill << ": " << path << " is neither old nor new ("
                                          << found.size() << " bytes)";
            oldCount += isOld;
            freshCount += isFresh;
        }
        mixed += oldCount > 0 && freshCount > 0;
    }
    expectLoadsCleanly(root.path());
    RecordProperty("killsInTheMiddleOfASave", mixed);
    int leftovers = 0;
    for (const auto& name : quorelle::testing::listNames(root + (std::string("profiles/") +
                                                                 quorelle::testing::crashProfileID)))
        leftovers += name.find(".tmp-") != std::string::npos;
    std::printf("%d kills, %d in the middle of a profile save, %d temporary files left by cut writes\n", kills,
                mixed, leftovers);
    EXPECT_GT(mixed, 0) << "no kill landed inside a save; the test proved nothing";

    // Nothing but the data files and, at most, hidden leftovers of cut writes,
    // which the next start removes.
    const std::string profileFolder = root + (std::string("profiles/") + quorelle::testing::crashProfileID);
    for (const auto& name : quorelle::testing::listNames(profileFolder))
        EXPECT_TRUE(name.ends_with(".json") || AtomicFile::isTemporaryName(name)) << name;
    const DataFolderLock lock(root.path());
    ASSERT_EQ(lock.state(), DataFolderLock::State::held);
    DataFolderTidy::run(lock, DataFolderTidy::Clock::now());
    EXPECT_EQ(quorelle::testing::listNames(profileFolder), [] {
        auto names = profileFiles;
        std::sort(names.begin(), names.end());
        return names;
    }());
    EXPECT_EQ(quorelle::testing::listNames(root.path()),
              (std::vector<std::string>{".lock", "appSettings.json", "profiles"}));
}

}  // namespace
