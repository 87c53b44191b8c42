// The website data of the real engine: cookies kept across a restart of the
// process, private folders made where something else stood, folders the
// engine cannot use left alone for a session in memory, and clearing a store
// that holds nothing.
#include "unit/DataStoreTestSupport.h"
#include "web/PrivateFileMask.h"
#include "webkit/WebTestSupport.h"

#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace quorelle::testing {
namespace {

struct ChildRun {
    int status = -1;
    std::string output;
};

// In the child, before it starts: the superuser's power over file modes
// taken out of what it can ever have, so that they bind it as they bind an
// ordinary user (who never had it).
void bindByFileModes(gpointer) {
    for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) ::prctl(PR_CAPBSET_DROP, capability);
}

ChildRun runChild(const std::string& step, const std::string& folder) {
    std::vector<char*> argv{const_cast<char*>(QUORELLE_WEBSITE_DATA_CHILD), const_cast<char*>(step.c_str()),
                            const_cast<char*>(folder.c_str()), nullptr};
    gchar* out = nullptr;
    gchar* err = nullptr;
    ChildRun run;
    GError* error = nullptr;
    if (!g_spawn_sync(nullptr, argv.data(), nullptr, G_SPAWN_DEFAULT, bindByFileModes, nullptr, &out, &err,
                      &run.status, &error)) {
        run.output = error->message;
        g_error_free(error);
        return run;
    }
    run.output = std::string(out ? out : "") + (err ? err : "");
    g_free(out);
    g_free(err);
    return run;
}

// Everything under `folder` that others could open: folders not 0700,
// files not 0600 (links are not followed). Counts the files in `files`.
std::vector<std::string> exposedEntries(const std::string& folder, int* files = nullptr) {
    std::vector<std::string> exposed;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        struct stat info {};
        if (::lstat(it->path().c_str(), &info) != 0) continue;  // gone meanwhile
        const mode_t mode = info.st_mode & 07777;
        if (S_ISDIR(info.st_mode) ? mode != 0700 : (S_ISREG(info.st_mode) && mode != 0600)) {
            char octal[8];
            std::snprintf(octal, sizeof octal, "%04o", static_cast<unsigned>(mode));
            exposed.push_back(it->path().string() + " " + octal);
        }
        if (files) *files += S_ISREG(info.st_mode);
    }
    if (error) exposed.push_back(folder + ": " + error.message());
    return exposed;
}

using WebsiteDataTest = WebTest;

// The one entry beside `path` that it was set aside as.
std::string setAsideFrom(const std::string& path) {
    const std::filesystem::path place(path);
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(place.parent_path()))
        if (entry.path().filename().string().starts_with(place.filename().string() + ".unreadable-"))
            found.push_back(entry.path().string());
    return found.size() == 1 ? found.front() : std::to_string(found.size()) + " set aside from " + path;
}

// Over a link to nothing in the data folder's place the engine would keep no
// cookies: it is set aside (a link still), and a folder made there. A cache
// folder an earlier version left open to others is closed up with what it
// holds, which is kept.
TEST_F(WebsiteDataTest, CookiesOutliveTheProcessInPrivateFoldersAndGuestsWriteNothing) {
    const std::string folder = scratch_ + "/kept";
    std::filesystem::create_directories(folder);
    std::filesystem::create_symlink(folder + "/gone", folder + "/data");
    const std::string left = folder + "/cache/old/entry";
    std::filesystem::create_directories(folder + "/cache/old");
    ASSERT_TRUE(g_file_set_contents(left.c_str(), "left open", -1, nullptr));
    for (const char* path : {"/cache", "/cache/old"}) ::chmod((folder + path).c_str(), 0755);
    ::chmod(left.c_str(), 0644);

    const ChildRun keep = runChild("keep", folder);
    ASSERT_TRUE(g_spawn_check_wait_status(keep.status, nullptr)) << keep.output;
    EXPECT_EQ(std::filesystem::read_symlink(setAsideFrom(folder + "/data")), folder + "/gone");
    gchar* kept = nullptr;
    EXPECT_TRUE(g_file_get_contents(left.c_str(), &kept, nullptr, nullptr));
    EXPECT_STREQ(kept, "left open");
    g_free(kept);

    int files = 0;
    EXPECT_EQ(exposedEntries(folder, &files), std::vector<std::string>());
    EXPECT_GT(files, 0);

    const ChildRun read = runChild("read", folder);
    EXPECT_TRUE(g_spawn_check_wait_status(read.status, nullptr)) << read.output;
}

// What stands in the cookie file's place and the engine cannot use would
// keep it from keeping any cookie, and it would say so only in its own
// warnings: a file the user cannot open, with its journal, as a run by root
// that stopped in the middle of a write leaves them in the user's own folder;
// a folder; a link to nothing, as to a disk not mounted. Each is set aside as
// it is, the engine makes a new one, and cookies outlive the process again.
TEST_F(WebsiteDataTest, ACookieFileTheEngineCannotUseIsSetAsideAndCookiesAreKeptAgain) {
    using Step = std::function<void(const std::string& cookies)>;
    const std::vector<std::tuple<const char*, Step, Step>> cases = {
        {"left-by-root",
         [](const std::string& cookies) {
             for (const auto& path : {cookies, cookies + "-journal"}) {
                 EXPECT_TRUE(g_file_set_contents(path.c_str(), ("root's " + path).c_str(), -1, nullptr));
                 EXPECT_TRUE(UnopenableFile::make(path)) << path;
             }
         },
         [](const std::string& cookies) {
             for (const auto& path : {cookies, cookies + "-journal"}) {
                 const std::string kept = setAsideFrom(path);
                 EXPECT_TRUE(UnopenableFile::isOne(kept)) << kept;
                 EXPECT_EQ(UnopenableFile::bytes(kept), "root's " + path);
             }
         }},
        {"a-folder", [](const std::string& cookies) { writeBytes(cookies + "/left", "left here"); },
         [](const std::string& cookies) { EXPECT_EQ(readBytes(setAsideFrom(cookies) + "/left"), "left here"); }},
        {"a-link-to-nothing",
         [](const std::string& cookies) { std::filesystem::create_symlink(cookies + "-disk/cookies", cookies); },
         [](const std::string& cookies) {
             std::error_code error;
             EXPECT_EQ(std::filesystem::read_symlink(setAsideFrom(cookies), error), cookies + "-disk/cookies");
         }},
    };
    for (const auto& [what, make, check] : cases) {
        SCOPED_TRACE(what);
        const std::string folder = scratch_ + "/" + what;
        const std::string cookies = folder + "/data/" + WebsiteDataService::cookieFileName;
        std::filesystem::create_directories(folder + "/data");
        std::filesystem::permissions(folder + "/data", std::filesystem::perms::owner_all);
        make(cookies);

        const ChildRun keep = runChild("keep", folder);
        ASSERT_TRUE(g_spawn_check_wait_status(keep.status, nullptr)) << keep.output;
        const ChildRun read = runChild("read", folder);
        EXPECT_TRUE(g_spawn_check_wait_status(read.status, nullptr)) << read.output;
        check(cookies);
        struct stat made {};
        ASSERT_EQ(::stat(cookies.c_str(), &made), 0);
        EXPECT_TRUE(S_ISREG(made.st_mode));
        EXPECT_EQ(made.st_uid, ::geteuid());
        EXPECT_EQ(made.st_mode & 07777, 0600u);
    }
}

// The process's file-creation mask, set for a test and put back after it.
class FileMask {
public:
    explicit FileMask(mode_t mask) : previous_(::umask(mask)) {}
    ~FileMask() { ::umask(previous_); }
    FileMask(const FileMask&) = delete;
    FileMask& operator=(const FileMask&) = delete;

private:
    mode_t previous_;
};

// The mode a file made now with 0666 gets.
mode_t modeOfANewFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0666);
    struct stat info {};
    const bool made = fd >= 0 && ::fstat(fd, &info) == 0;
    if (fd >= 0) ::close(fd);
    return made ? info.st_mode & 07777 : 0;
}

// A fresh store holds nothing; the engine answers that with an empty list,
// and clearing must still end, every time, with its toast. Whatever the
// engine makes in the website-data folders while it clears is private too,
// and what the browser makes elsewhere meanwhile (a download that finishes,
// a saved page) keeps the user's usual mode from the moment the persistent
// session exists. The folders are made where a FIFO (never opened) and a loop
// of links stood, which are set aside as they are and said to be; the
// engine's sandbox would end the process over them.
TEST_F(WebsiteDataTest, ClearingAnEmptyStoreFinishesEachTimeAndLeavesTheFoldersPrivate) {
    const FileMask usual(022);
    const std::string data = scratch_ + "/webdata", cache = scratch_ + "/webcache";
    ASSERT_EQ(::mkfifo(data.c_str(), 0600), 0);
    std::filesystem::create_symlink("webcache", cache);
    websiteData->persistentSession();
    const auto& report = websiteData->makeFolders();
    EXPECT_EQ(report.setAside, (std::vector<FolderTree::SetAside>{
                                   {data + " is not a folder", setAsideFrom(data)},
                                   {cache + " is a loop of symbolic links", setAsideFrom(cache)}}));
    EXPECT_EQ(report.dataProblem, std::nullopt);
    EXPECT_EQ(report.cacheProblem, std::nullopt);
    EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(setAsideFrom(data))));
    EXPECT_EQ(std::filesystem::read_symlink(setAsideFrom(cache)), "webcache");
    EXPECT_EQ(PrivateFileMask::usualFileMode(), 0644u);
    EXPECT_EQ(modeOfANewFile(scratch_ + "/saved-meanwhile"), 0644u);
    start();
    EXPECT_EQ(PrivateFileMask::usualFileMode(), 0644u);
    for (int round = 0; round < 2; ++round) {
        state->toastMessage.set(std::nullopt);
        state->handleInternalMessage(Json{{"action", "clearWebsiteData"}});
        EXPECT_TRUE(runUntil([&] { return state->toastMessage.get().has_value(); })) << "round " << round;
        EXPECT_EQ(state->toastMessage.get(), std::optional<std::string>("Website data cleared"));
    }
    for (const char* folder : {"/webdata", "/webcache"})
        EXPECT_EQ(exposedEntries(scratch_ + folder), std::vector<std::string>()) << folder;
}

// A website data folder the engine cannot use is never given to it, nor the
// cache folder then: the normal profiles' views share one session that keeps
// their website data in memory for the run, as each guest view's does, and
// nothing is written into either folder. Here the data folder is read-only
// to a start that file modes bind, whoever runs the test.
TEST_F(WebsiteDataTest, AFolderTheEngineCannotUseLeavesTheNormalProfilesOneSessionInMemory) {
    const std::string data = scratch_ + "/webdata", cache = scratch_ + "/webcache";
    std::filesystem::create_directories(data);
    std::filesystem::permissions(data, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    ASSERT_TRUE(runBoundByFileModes([&] { websiteData->makeFolders(); }));
    const auto& report = websiteData->makeFolders();
    EXPECT_EQ(report.dataProblem, "Permission denied");
    EXPECT_EQ(report.cacheProblem, std::nullopt);
    EXPECT_TRUE(report.inMemoryOnly());
    WebKitNetworkSession* session = websiteData->persistentSession();
    EXPECT_TRUE(webkit_network_session_is_ephemeral(session));
    EXPECT_EQ(websiteData->sessionFor(WebsiteDataStoreKind::defaultPersistent).get(), session);
    EXPECT_NE(websiteData->sessionFor(WebsiteDataStoreKind::nonPersistent).get(), session);

    LoopbackServer::Page keep{200, "text/html; charset=utf-8", "<p>kept</p>", {}};
    keep.headers = {{"Set-Cookie", "kept=yes; Max-Age=86400; Path=/"}};
    server.add("/keep", keep);
    server.addHTML("/read", "<p>read</p>");
    start();
    ASSERT_TRUE(loadPage(server.url("/keep")));
    EXPECT_EQ(evalJS("document.cookie"), "\"kept=yes\"");
    state->newTab(server.url("/read"));
    showActiveTab();
    ASSERT_TRUE(waitForPage(server.url("/read")));
    EXPECT_EQ(evalJS("document.cookie"), "\"kept=yes\"") << "one session for every normal view";
    EXPECT_EQ(listNames(data), std::vector<std::string>());
    EXPECT_EQ(listNames(cache), std::vector<std::string>());
}

}  // namespace
}  // namespace quorelle::testing
