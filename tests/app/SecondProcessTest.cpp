// Real browser processes on real data folders. Two on one folder, without a
// session bus (a container, a plain X session): the second one says so on
// stderr and in a dialog, and ends when the dialog is closed (by its button,
// Escape or the window manager), having written nothing, however the
// folder's lock file was left. A browser whose folder is moved away keeps to
// it, and never writes into the new one another browser makes in its place.
// A start without a display, on a folder that cannot be locked, with a
// folder the web engine's sandbox cannot look into, or under a file-size
// limit the web engine cannot run under, says why and ends, and so, at once,
// does one by root on another user's folders; one on a read-only folder or
// under a file-size limit smaller than a data file runs on and says what it
// cannot save, and one whose website data folders cannot be used keeps
// website data in memory. One started without any session bus
// on a display whose desktop publishes an accessibility bus closes cleanly.
#include "model/GLibPtr.h"
#include "support/MainLoopWait.h"
#include "support/PrivateSessionBus.h"
#include "support/ScratchFolder.h"
#include "unit/DataStoreTestSupport.h"

#include <gio/gio.h>
#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>

// Last: it includes the X11 headers, which define short macro names (None,
// Bool, Status).
#include "app/BrowserProcess.h"
// After them: it uses them as well.
#include "support/DesktopAccessibilityBus.h"

namespace {

using quorelle::GCharPtr;
using quorelle::testing::askToClose;
using quorelle::testing::Browser;
using quorelle::testing::BrowserProcessTest;
using quorelle::testing::closeDialog;
using quorelle::testing::CloseBy;
using quorelle::testing::coloursIn;
using quorelle::testing::contents;
using quorelle::testing::DesktopAccessibilityBus;
using quorelle::testing::includes;
using quorelle::testing::Launch;
using quorelle::testing::pressKey;
using quorelle::testing::pressQuit;
using quorelle::testing::PrivateSessionBus;
using quorelle::testing::processesWith;
using quorelle::testing::processLimitMs;
using quorelle::testing::runFor;
using quorelle::testing::runUntil;
using quorelle::testing::ScratchFolder;
using quorelle::testing::windowsOf;


// A process's children: their names and the signals they ignore.
struct ChildProcess {
    std::string name;
    unsigned long long ignoredSignals = 0;
};
std::vector<ChildProcess> childrenOf(pid_t parent) {
    std::vector<ChildProcess> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        std::ifstream status(entry.path() / "status");
        std::string line, name;
        pid_t ppid = -1;
        unsigned long long ignored = 0;
        while (std::getline(status, line)) {
            if (line.starts_with("Name:")) name = line.substr(line.find_first_not_of(" \t", 5));
            if (line.starts_with("PPid:")) ppid = std::stoi(line.substr(5));
            if (line.starts_with("SigIgn:")) ignored = std::stoull(line.substr(7), nullptr, 16);
        }
        if (ppid == parent) found.push_back({name, ignored});
    }
    return found;
}

bool ignores(const ChildProcess& process, int signal) { return process.ignoredSignals & (1ULL << (signal - 1)); }


class SecondProcessTest : public BrowserProcessTest {
protected:
    // Waits until `browser` says `text` on stderr, and fails, with how it
    // ended and all it said, should it end instead.
    static ::testing::AssertionResult saysWhileRunning(Browser& browser, const std::string& text) {
        runUntil([&] { return browser.saidSo(text) || browser.exited(); }, processLimitMs);
        if (!browser.exited() && browser.saidSo(text)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "it was to say \"" << text << "\" and run on: " << browser.report();
    }
    // Waits until `browser`'s window shows the page its web engine drew (the
    // window's few colours have become many), and fails, with its report,
    // should it end first: its web process started and runs.
    ::testing::AssertionResult drawsItsPage(Browser& browser) {
        constexpr std::size_t manyColours = 64;
        runUntil([&] {
            const auto shown = windowsOf(display, browser.pid());
            return browser.exited() || (!shown.empty() && coloursIn(display, shown.front()) > manyColours);
        }, processLimitMs);
        if (!browser.exited() && !windowsOf(display, browser.pid()).empty() &&
            coloursIn(display, windowsOf(display, browser.pid()).front()) > manyColours)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "its window was to show a page: " << browser.report();
    }
};

// Whatever takes the lock file's place (a folder, a link to a file
// elsewhere), the folder stays guarded, and the link is never followed.
TEST_F(SecondProcessTest, ASecondBrowserOnTheSameDataFolderSaysSoAndEndsWithoutWriting) {
    ASSERT_TRUE(display);
    ScratchFolder outside;
    const std::string target = outside.file("target");
    std::ofstream(target) << "theirs";
    std::filesystem::permissions(target, std::filesystem::perms(0644));
    const std::vector<std::pair<const char*, std::function<void(const std::string&)>>> lockFiles = {
        {"a plain lock file", [](const std::string&) {}},
        {"a folder", [](const std::string& path) { std::filesystem::create_directories(path); }},
        {"a link", [&](const std::string& path) { std::filesystem::create_symlink(target, path); }},
    };
    for (const auto& [what, make] : lockFiles) {
        SCOPED_TRACE(std::string("the lock file is ") + what);
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        make(folder + "/.lock");
        Browser first(home);
        ASSERT_TRUE(first.started());
        ASSERT_TRUE(isUp(first));
        expectSecondStartRefused(first);
    }
    EXPECT_EQ(ScratchFolder::read(target), "theirs");
    EXPECT_EQ(quorelle::testing::permissions(target), 0644u);
}

// Started without a session bus (from cron, su, ssh or env -i) on a display
// whose desktop publishes an accessibility bus, the browser says once that
// it runs without accessibility support, logs no critical and no warning (its
// web processes keep off that bus as well), and ends cleanly however soon
// after its window shows the user closes it.
TEST_F(SecondProcessTest, WithoutASessionBusTheBrowserClosesCleanlyOnADisplayWithAnAccessibilityBus) {
    ASSERT_TRUE(display);
    DesktopAccessibilityBus accessibility(display);
    ASSERT_EQ(accessibility.problem(), "");
    ASSERT_EQ(DesktopAccessibilityBus::publishedOn(display), accessibility.address());
    // No bus at all: no address, no socket in the runtime folder, and no bus
    // of GLib's own through dbus-launch (X11 autolaunch), which a stand-in
    // that fails keeps away where it is installed.
    const std::string runtime = home + "/runtime";
    std::filesystem::create_directories(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms::owner_all);
    std::filesystem::create_directories(home + "/bin");
    std::ofstream(home + "/bin/dbus-launch") << "#!/bin/sh\nexit 1\n";
    std::filesystem::permissions(home + "/bin/dbus-launch", std::filesystem::perms::owner_all);
    const char* path = g_getenv("PATH");
    const Launch noBus{.readStderr = true,
                       .environment = {{"DBUS_SESSION_BUS_ADDRESS", std::nullopt},
                                       {"XDG_RUNTIME_DIR", runtime},
                                       {"PATH", home + "/bin:" + (path ? path : "/usr/bin:/bin")}}};
    const std::string off = "accessibility support (AT-SPI) is off for this run";
    // The last round closes it once its page is drawn (the window's few
    // colours have become many): its web process has started then, and would
    // have tried the accessibility bus by now.
    constexpr int oncePageDrawn = -1;
    constexpr std::size_t manyColours = 64;
    for (int closedAfterMs : {0, 500, 1000, 1500, 2000, oncePageDrawn}) {
        SCOPED_TRACE(closedAfterMs == oncePageDrawn
                         ? std::string("closed once its page was drawn")
                         : "closed " + std::to_string(closedAfterMs) + " ms after its window showed");
        Browser browser(home, noBus);
        ASSERT_TRUE(browser.started());
        ASSERT_TRUE(runUntil([&] { return !windowsOf(display, browser.pid()).empty() || browser.exited(); },
                             processLimitMs));
        ASSERT_FALSE(browser.exited()) << browser.describeEnd() << "\n" << browser.errorOutput();
        if (closedAfterMs == oncePageDrawn)
            ASSERT_TRUE(runUntil([&] {
                const auto shown = windowsOf(display, browser.pid());
                return !shown.empty() && coloursIn(display, shown.front()) > manyColours;
            }, processLimitMs));
        else
            runFor(closedAfterMs);  // when the user closes it: no state is awaited
        closeMainWindow(browser);
        const std::string said = browser.errorOutput();
        EXPECT_EQ(said.find("CRITICAL"), std::string::npos) << said;
        // Its web processes keep off the bus too: no warning of theirs.
        EXPECT_EQ(said.find("WARNING"), std::string::npos) << said;
        EXPECT_EQ(said.find("a11y bus"), std::string::npos) << said;
        EXPECT_NE(said.find(off), std::string::npos) << said;
        EXPECT_EQ(said.find(off), said.rfind(off)) << "said once:\n" << said;
        // Its web engine's processes went with it.
        EXPECT_TRUE(runUntil([&] { return processesWith("XDG_RUNTIME_DIR=" + runtime).empty(); }, processLimitMs));
    }
}

// A data folder moved away while its browser runs stays that browser's: it
// goes on saving into the folder it locked, wherever that now is, and never
// into the new data folder that another browser (another login's) made and
// holds at the old path.
TEST_F(SecondProcessTest, ABrowserWhoseDataFolderWasMovedNeverWritesIntoTheNewOneAtItsOldPath) {
    ASSERT_TRUE(display);
    Browser first(home);
    ASSERT_TRUE(first.started());
    ASSERT_TRUE(isUp(first));
    const std::string moved = folder + ".moved";
    std::filesystem::rename(folder, moved);
    Browser second(home);
    ASSERT_TRUE(second.started());
    ASSERT_TRUE(isUp(second));
    const auto secondsFolder = contents(folder);
    closeMainWindow(first);  // it saves its window's size
    EXPECT_EQ(contents(folder), secondsFolder);
    EXPECT_TRUE(std::filesystem::exists(moved + "/windowSize.json"));
    EXPECT_FALSE(second.exited());
}

// A folder with fewer permissions than its owner's all while this lives,
// given them back (0700) after.
class NarrowedFolder {
public:
    NarrowedFolder(std::string path, std::filesystem::perms mode) : path_(std::move(path)) {
        std::filesystem::permissions(path_, mode);
    }
    ~NarrowedFolder() { std::filesystem::permissions(path_, std::filesystem::perms::owner_all); }
    NarrowedFolder(const NarrowedFolder&) = delete;
    NarrowedFolder& operator=(const NarrowedFolder&) = delete;

private:
    std::string path_;
};

// A folder that takes no new entries (a read-only file system) still guards
// itself, and the browser that holds it says what will not be saved: nothing,
// when the profile's folder takes no entries either, else only what the data
// folder itself keeps; and with the profile's folder alone read-only, only
// its browsing data, naming the folder that refuses when that is the one
// above it. A run that changed nothing lost nothing, and its quit says so by
// its status.
TEST_F(SecondProcessTest, AReadOnlyDataFolderIsGuardedAndTheBrowserSaysWhatWillNotBeSaved) {
    ASSERT_TRUE(display);
    {
        Browser first(home);
        ASSERT_TRUE(isUp(first));
        closeMainWindow(first);
    }
    using quorelle::testing::UnwritableTree;
    const std::string nothing = "the data folder " + folder + " cannot be written";
    {
        UnwritableTree readOnly(folder);
        if (!readOnly.effective()) GTEST_SKIP() << "this system cannot make a folder unwritable";
        Browser browser(home, {.readStderr = true});
        ASSERT_TRUE(isUp(browser, false));
        ASSERT_TRUE(saysWhileRunning(browser, "; nothing changed now will be saved."));
        EXPECT_TRUE(browser.saidSo(nothing)) << browser.errorOutput();
        expectSecondStartRefused(browser);
        closeMainWindow(browser);
        EXPECT_FALSE(browser.saidSo("could not be saved")) << browser.errorOutput();
    }
    {
        UnwritableTree rootOnly(folder, UnwritableTree::Reach::rootOnly);
        Browser browser(home, {.readStderr = true});
        ASSERT_TRUE(isUp(browser, false));
        ASSERT_TRUE(saysWhileRunning(
            browser, "; changes to the list of profiles and the window size won't be saved; browsing data will be."));
        EXPECT_FALSE(browser.saidSo("nothing changed now will be saved")) << browser.errorOutput();
        closeMainWindow(browser);
    }
    {
        const std::string profile = folder + "/profiles/default";
        UnwritableTree profileOnly(profile, UnwritableTree::Reach::rootOnly);
        Browser browser(home, {.readStderr = true});
        ASSERT_TRUE(isUp(browser, false));
        ASSERT_TRUE(saysWhileRunning(browser, "quorelle: the profile folder " + profile + " cannot be written ("));
        EXPECT_TRUE(browser.saidSo("); changes to its browsing data won't be saved.\n")) << browser.errorOutput();
        EXPECT_FALSE(browser.saidSo("the data folder")) << browser.errorOutput();
        closeMainWindow(browser);
    }
    {
        // The folder that refuses is named, not the profile's inside it.
        const std::string profiles = folder + "/profiles";
        const NarrowedFolder closed(profiles, std::filesystem::perms::none);
        Browser browser(home, {.readStderr = true, .boundByFileModes = true});
        ASSERT_TRUE(isUp(browser, false));
        ASSERT_TRUE(saysWhileRunning(browser, "quorelle: the profile folder " + profiles +
                                                  "/default cannot be written (" + profiles +
                                                  ": Permission denied); changes to its browsing data won't be "
                                                  "saved.\n"));
        closeMainWindow(browser);
    }
}

// Whatever stands where a website data folder belongs and is no folder (a
// file, a FIFO) is set aside and a private folder made in its place before
// the web engine uses it, cookies are kept in it, and the start says so once:
// over a file the engine's sandbox would end the browser. So is a cookie file
// inside that the user cannot open, as a run by root leaves one, of which the
// engine's own warning was all that told. A website data folder the browser
// cannot use (one it cannot write, one it cannot open, as another user's, a
// file in its place that cannot be set aside, a cache folder it cannot open)
// is never given to the engine, whose sandbox would end the browser over the
// ones it cannot reach into: that run keeps website data in memory, and the
// start says so once, naming the folder and why.
TEST_F(SecondProcessTest, WhatStandsWhereWebsiteDataBelongsIsSetAsideAndAFolderThatCannotBeWrittenIsNamed) {
    ASSERT_TRUE(display);
    const auto linesSettingAside = [](Browser& browser) {
        std::istringstream said(browser.errorOutput());
        int told = 0;
        for (std::string line; std::getline(said, line);) told += line.find(" it is kept as ") != std::string::npos;
        return told;
    };
    // What was set aside from `path`, beside it.
    const auto setAsideFrom = [](const std::string& path) {
        const std::filesystem::path place(path);
        std::vector<std::filesystem::path> aside;
        for (const auto& entry : std::filesystem::directory_iterator(place.parent_path()))
            if (entry.path().filename().string().starts_with(place.filename().string() + ".unreadable-"))
                aside.push_back(entry.path());
        return aside;
    };
    const std::string data = home + "/data/QuorelleWebData";
    const std::string cache = home + "/cache/QuorelleWebData";
    std::filesystem::create_directories(home + "/data");
    std::filesystem::create_directories(home + "/cache");
    std::ofstream(data) << "not a folder";
    ASSERT_EQ(mkfifo(cache.c_str(), 0600), 0);
    {
        Browser browser(home, {.readStderr = true});
        ASSERT_TRUE(isUp(browser));
        for (const auto& place : {data, cache})
            ASSERT_TRUE(saysWhileRunning(browser, "quorelle: " + place + " is not a folder; it is kept as " + place +
                                                      ".unreadable-"));
        runUntil([&] { return std::filesystem::exists(data + "/cookies.sqlite") || browser.exited(); },
                 processLimitMs);
        ASSERT_FALSE(browser.exited()) << browser.report();
        EXPECT_TRUE(std::filesystem::exists(data + "/cookies.sqlite"));
        closeMainWindow(browser);
        expectOnlyItsOwnLines(browser);
        EXPECT_EQ(linesSettingAside(browser), 2) << browser.errorOutput();
    }
    for (const auto& place : {data, cache}) {
        EXPECT_EQ(std::filesystem::status(place).permissions(), std::filesystem::perms::owner_all) << place;
        const auto aside = setAsideFrom(place);
        ASSERT_EQ(aside.size(), 1u) << place;
        if (place == data)
            EXPECT_EQ(ScratchFolder::read(aside[0]), "not a folder");
        else
            EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(aside[0])));
    }
    using quorelle::testing::UnopenableFile;
    const std::string cookies = data + "/cookies.sqlite";
    ASSERT_TRUE(UnopenableFile::make(cookies));
    {
        Browser browser(home, {.readStderr = true, .boundByFileModes = true});
        ASSERT_TRUE(saysWhileRunning(browser, "quorelle: " + UnopenableFile::described(cookies) + "; it is kept as " +
                                                  cookies + ".unreadable-"));
        runUntil([&] { return std::filesystem::exists(cookies) || browser.exited(); }, processLimitMs);
        ASSERT_FALSE(browser.exited()) << browser.report();
        closeMainWindow(browser);
        expectOnlyItsOwnLines(browser);
        EXPECT_EQ(linesSettingAside(browser), 1) << browser.errorOutput();
    }
    const auto cookiesAside = setAsideFrom(cookies);
    ASSERT_EQ(cookiesAside.size(), 1u);
    EXPECT_TRUE(UnopenableFile::isOne(cookiesAside[0]));
    struct stat made {};
    ASSERT_EQ(::stat(cookies.c_str(), &made), 0) << "a new one in its place";
    EXPECT_EQ(made.st_uid, ::geteuid());

    using std::filesystem::perms;
    const std::string inMemory =
        "; this run keeps cookies and other website data in memory only, and they won't be saved.\n";
    const std::string dataRefuses = "the website data folder " + data + " cannot be written (Permission denied)";
    // Each gives the folders back as they were, but for the last.
    const std::vector<std::tuple<const char*, std::function<std::shared_ptr<void>()>, std::string>> unusable = {
        {"a data folder it cannot open, as another user's",
         [&] { return std::make_shared<NarrowedFolder>(data, perms::none); }, dataRefuses},
        {"a read-only data folder",
         [&] { return std::make_shared<NarrowedFolder>(data, perms::owner_read | perms::owner_exec); }, dataRefuses},
        {"a cache folder it cannot open",
         [&] { return std::make_shared<NarrowedFolder>(cache, perms::none); },
         "the website cache folder " + cache + " cannot be written (Permission denied)"},
        {"a file in the data folder's place, in a folder that cannot be written",
         [&] {
             std::filesystem::rename(data, data + ".moved");
             std::ofstream(data) << "not a folder";
             return std::make_shared<NarrowedFolder>(home + "/data", perms::owner_read | perms::owner_exec);
         },
         "the website data folder " + data + " cannot be written (" + data + " is not a folder)"},
    };
    for (const auto& [what, make, said] : unusable) {
        SCOPED_TRACE(what);
        const auto undo = make();
        Browser browser(home, {.readStderr = true, .boundByFileModes = true});
        ASSERT_TRUE(saysWhileRunning(browser, "quorelle: " + said + inMemory));
        ASSERT_TRUE(drawsItsPage(browser));
        closeMainWindow(browser);
        expectOnlyItsOwnLines(browser);
        const std::string told = browser.errorOutput();
        EXPECT_EQ(told.find(inMemory), told.rfind(inMemory)) << "said once:\n" << told;
        EXPECT_FALSE(browser.saidSo(" it is kept as ")) << told;
    }
    EXPECT_EQ(ScratchFolder::read(data), "not a folder");
}

// A data folder that cannot be used at all could be shared unguarded: the
// start says why, naming what is in the way for what it is, and ends before
// reading or writing anything.
TEST_F(SecondProcessTest, AStartThatCannotUseTheDataFolderSaysWhyAndEnds) {
    ASSERT_TRUE(display);
    const std::string parent = home + "/data";
    const std::vector<std::tuple<const char*, std::function<void()>, std::string>> ways = {
        {"a file where its parent belongs", [&] { std::ofstream(parent) << "not a folder"; },
         "cannot be made (" + parent + " is not a folder)"},
        {"a loop of links in its place",
         [&] {
             std::filesystem::create_directories(parent);
             std::filesystem::create_symlink("QuorelleData", folder);
         },
         "cannot be made (" + folder + " is a loop of symbolic links)"},
        {"a folder no one may open",
         [&] {
             std::filesystem::create_directories(folder);
             std::filesystem::permissions(folder, std::filesystem::perms::none);
         },
         "cannot be opened (Permission denied)"},
    };
    for (const auto& [what, make, said] : ways) {
        SCOPED_TRACE(what);
        std::filesystem::remove_all(parent);
        make();
        Browser browser(home, {.readStderr = true, .boundByFileModes = true});
        expectRefusalSaidAndShown(browser, "quorelle: the data folder " + folder + " " + said +
                                               "; this one ends without reading or writing any data.");
        EXPECT_FALSE(browser.saidSo("cannot be locked")) << browser.errorOutput();
        // Left as it was.
        if (std::filesystem::is_regular_file(parent)) {
            EXPECT_EQ(ScratchFolder::read(parent), "not a folder");
        }
        if (std::filesystem::is_directory(std::filesystem::symlink_status(folder))) {
            std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
            EXPECT_TRUE(std::filesystem::is_empty(folder));
        }
    }
}

// The web engine's sandbox takes entries of the user's home, configuration,
// cache and runtime folders (fonts, sound, themes) into each web process, and
// cannot start over one of them that it cannot look into (no folder, or
// another user's it may not open), which ended the browser once its window
// showed: the start names the folder and why, and ends having made nothing.
TEST_F(SecondProcessTest, AStartWhoseFoldersTheEnginesSandboxCannotLookIntoSaysWhichAndEnds) {
    ASSERT_TRUE(display);
    const char* sandboxOff = g_getenv("WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS");
    if (sandboxOff && std::string(sandboxOff) != "0")
        GTEST_SKIP() << "the web engine's sandbox cannot start here, so it looks into no folder";
    const std::string file = home + "/not-a-folder";
    std::ofstream(file) << "not a folder";
    const std::string closed = home + "/closed";
    std::filesystem::create_directories(closed);
    const NarrowedFolder closedToAll(closed, std::filesystem::perms::none);
    const std::vector<std::tuple<const char*, const char*, std::string, std::string>> ways = {
        {"HOME", "home folder", file, file + " is not a folder"},
        {"XDG_CONFIG_HOME", "configuration folder", closed, "Permission denied"},
        {"XDG_CACHE_HOME", "cache folder", file, file + " is not a folder"},
        {"XDG_RUNTIME_DIR", "runtime folder", closed, "Permission denied"},
    };
    for (const auto& [variable, what, path, why] : ways) {
        SCOPED_TRACE(std::string(variable) + "=" + path);
        // The graphics library would say on its own that it keeps no shader
        // cache in a cache folder it cannot use.
        Browser browser(home, {.readStderr = true,
                               .environment = {{variable, path}, {"MESA_SHADER_CACHE_DISABLE", "true"}},
                               .boundByFileModes = true});
        ASSERT_NO_FATAL_FAILURE(expectRefusalSaidAndShown(
            browser, "quorelle: the web engine's sandbox cannot look into the " + std::string(what) + " " + path +
                         " (" + why + "); this one ends without reading or writing any data.\n"));
        EXPECT_FALSE(std::filesystem::exists(home + "/data"));
        EXPECT_FALSE(std::filesystem::exists(home + "/cache/QuorelleWebData"));
    }
}

// Every entry under the folder, the folder's own included: its owner and
// mode, and a file's bytes.
std::map<std::string, std::string> entriesOf(const std::string& folder) {
    std::map<std::string, std::string> found;
    const auto note = [&](const std::filesystem::path& path) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0) return;
        found[path.string()] = std::to_string(info.st_uid) + " " + std::to_string(info.st_mode) +
                               (S_ISREG(info.st_mode) ? " " + ScratchFolder::read(path).value_or("") : "");
    };
    note(folder);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) note(entry.path());
    return found;
}

// Started by root on another user's folders (sudo -E, su -m), the browser
// would save files there that their owner could no longer read: the start
// ends at once, before its display opens, with one line that names the
// folder and its owner, having made or changed nothing. So does a start whose
// data folder or website cache folder is not made yet, in another user's
// folder, and one with another user's home, configuration, cache or runtime
// folder (su keeps XDG_RUNTIME_DIR), made or not, where the toolkit, the
// accessibility bus and the settings service would leave entries of root's
// that fail the user's own programs, with no runtime folder set too. (Root
// on its own folders is every other case run as root.)
TEST_F(SecondProcessTest, AStartByRootOnAnotherUsersFoldersEndsAtOnceChangingNothing) {
    ASSERT_TRUE(display);
    constexpr uid_t other = 65534;
    const passwd* entry = ::getpwuid(other);
    const std::string name = entry ? entry->pw_name : "the user with uid 65534";
    const std::string owner = entry ? name + " (uid 65534)" : "uid 65534";
    const std::string startAs = ": start Quorelle as " + name +
                                ", since what root saves there its owner could no longer read; this one ends without "
                                "changing anything.\n";
    const auto expectEndsAtOnce = [&](const Launch& launch, const std::string& line) {
        const auto before = entriesOf(home);
        Browser browser(home, launch);
        ASSERT_TRUE(browser.started());
        ASSERT_TRUE(runUntil([&] { return browser.exited() || !windowsOf(display, browser.pid()).empty(); },
                             processLimitMs));
        ASSERT_TRUE(browser.exited()) << browser.report();
        EXPECT_TRUE(browser.endedWith(1)) << browser.report();
        EXPECT_EQ(browser.errorOutput(), line);
        EXPECT_EQ(entriesOf(home), before);
    };

    if (::geteuid() != 0) {
        // Only the superuser can give a folder to another user. An ordinary
        // user is root in a user namespace of its own, where every other
        // user's folder (the system's too) belongs to the overflow user,
        // 65534: the browser's folders can be made to lie in one, though no
        // data folder of another user's can be made.
        GCharPtr unshare(g_find_program_in_path("unshare"));
        int status = -1;
        std::vector<char*> probe = {unshare.get(), const_cast<char*>("--map-root-user"), const_cast<char*>("true"),
                                    nullptr};
        if (!unshare || !g_spawn_sync(nullptr, probe.data(), nullptr, G_SPAWN_DEFAULT, nullptr, nullptr, nullptr,
                                      nullptr, &status, nullptr) ||
            !g_spawn_check_wait_status(status, nullptr))
            GTEST_SKIP() << "no user namespace can be made here, in which an ordinary user starts as root";
        const auto asRoot = [&](std::map<std::string, std::optional<std::string>> environment) {
            return Launch{.readStderr = true,
                          .environment = std::move(environment),
                          .arguments = {"--map-root-user", QUORELLE_BROWSER},
                          .program = unshare.get()};
        };
        for (const char* system : {"/usr/share", "/var/cache"})
            ASSERT_FALSE(std::filesystem::exists(std::string(system) + "/QuorelleData")) << system;
        SCOPED_TRACE("as root in a user namespace");
        expectEndsAtOnce(asRoot({{"XDG_DATA_HOME", "/usr/share"}}),
                         "quorelle: the data folder /usr/share/QuorelleData would be made in /usr/share, which "
                         "belongs to " + owner + startAs);
        expectEndsAtOnce(asRoot({{"XDG_CACHE_HOME", "/var/cache"}}),
                         "quorelle: the website cache folder /var/cache/QuorelleWebData would be made in /var/cache, "
                         "which belongs to " + owner + startAs);
        expectEndsAtOnce(asRoot({{"HOME", "/usr/share"}}),
                         "quorelle: the home folder /usr/share belongs to " + owner + startAs);
        ASSERT_FALSE(std::filesystem::exists("/var/cache/quorelle-runtime"));
        expectEndsAtOnce(asRoot({{"XDG_RUNTIME_DIR", "/var/cache/quorelle-runtime"}}),
                         "quorelle: the runtime folder /var/cache/quorelle-runtime would be made in /var/cache, "
                         "which belongs to " + owner + startAs);
        return;
    }

    const std::string parent = home + "/data";
    std::filesystem::create_directories(folder + "/profiles/default");
    std::ofstream(folder + "/appSettings.json") << "{}";
    for (const auto& path : {parent, folder, folder + "/profiles", folder + "/profiles/default",
                             folder + "/appSettings.json"})
        ASSERT_EQ(::chown(path.c_str(), other, other), 0) << path;
    {
        SCOPED_TRACE("another user's data folder");
        expectEndsAtOnce({.readStderr = true},
                         "quorelle: the data folder " + folder + " belongs to " + owner + startAs);
    }
    std::filesystem::remove_all(folder);
    {
        SCOPED_TRACE("no data folder yet, in another user's folder");
        expectEndsAtOnce({.readStderr = true}, "quorelle: the data folder " + folder + " would be made in " + parent +
                                                   ", which belongs to " + owner + startAs);
    }
    ASSERT_EQ(::chown(parent.c_str(), 0, 0), 0);
    const std::string cache = home + "/cache";
    std::filesystem::create_directories(cache);
    ASSERT_EQ(::chown(cache.c_str(), other, other), 0);
    {
        SCOPED_TRACE("no website cache folder yet, in another user's folder");
        expectEndsAtOnce({.readStderr = true}, "quorelle: the website cache folder " + cache +
                                                   "/QuorelleWebData would be made in " + cache +
                                                   ", which belongs to " + owner + startAs);
    }
    ASSERT_EQ(::chown(cache.c_str(), 0, 0), 0);
    // The user's own, private.
    const std::string users = home + "/user";
    std::filesystem::create_directories(users);
    std::filesystem::permissions(users, std::filesystem::perms::owner_all);
    ASSERT_EQ(::chown(users.c_str(), other, other), 0);
    const std::tuple<const char*, const char*, std::string> folders[] = {
        {"XDG_RUNTIME_DIR", "runtime folder", users},
        {"XDG_RUNTIME_DIR", "runtime folder", users + "/runtime"},
        {"HOME", "home folder", users},
        {"XDG_CONFIG_HOME", "configuration folder", users + "/config"},
    };
    for (const auto& [variable, what, path] : folders) {
        SCOPED_TRACE(std::string(variable) + "=" + path);
        const std::string where = path == users ? "" : " would be made in " + users + ", which";
        expectEndsAtOnce({.readStderr = true, .environment = {{variable, path}}},
                         "quorelle: the " + std::string(what) + " " + path + where + " belongs to " + owner + startAs);
    }
    // Without XDG_RUNTIME_DIR (plain sudo, ssh, a container), GLib gives the
    // cache folder as the runtime folder and makes it as it does so: as
    // root, in the user's folder, or ahead of the check that then finds it
    // root's own.
    const std::string wouldBeMade = " would be made in " + users + ", which belongs to " + owner + startAs;
    {
        SCOPED_TRACE("only HOME, another user's, whose cache folder is not made yet");
        expectEndsAtOnce({.readStderr = true,
                          .environment = {{"HOME", users},
                                          {"XDG_DATA_HOME", std::nullopt},
                                          {"XDG_CONFIG_HOME", std::nullopt},
                                          {"XDG_CACHE_HOME", std::nullopt},
                                          {"XDG_RUNTIME_DIR", std::nullopt}}},
                         "quorelle: the data folder " + users + "/.local/share/QuorelleData" + wouldBeMade);
    }
    {
        SCOPED_TRACE("a cache folder not made yet in another user's folder, and no runtime folder");
        expectEndsAtOnce(
            {.readStderr = true, .environment = {{"XDG_CACHE_HOME", users + "/cache"}, {"XDG_RUNTIME_DIR", std::nullopt}}},
            "quorelle: the website cache folder " + users + "/cache/QuorelleWebData" + wouldBeMade);
    }
    // The cache folder is the user's own though the website cache folder in
    // it is root's.
    std::filesystem::create_directories(users + "/QuorelleWebData");
    SCOPED_TRACE("another user's cache folder holding a website cache folder of root's");
    expectEndsAtOnce({.readStderr = true, .environment = {{"XDG_CACHE_HOME", users}}},
                     "quorelle: the cache folder " + users + " belongs to " + owner + startAs);
}

// Each refused start's dialog ends its process cleanly however the user
// closes it: by its Close button, by Escape, or through the window manager.
TEST_F(SecondProcessTest, EveryRefusedStartsDialogClosesCleanlyByItsButtonEscapeOrTheWindowManager) {
    ASSERT_TRUE(display);
    const CloseBy ways[] = {CloseBy::button, CloseBy::escape, CloseBy::windowManager};
    {
        Browser first(home);
        ASSERT_TRUE(first.started());
        ASSERT_TRUE(isUp(first));
        for (CloseBy way : ways) {
            SCOPED_TRACE(std::string("another process holds the folder; closed by ") + nameOf(way));
            expectSecondStartRefused(first, way);
        }
    }
    for (CloseBy way : ways) {
        SCOPED_TRACE(std::string("a file-size limit too small; closed by ") + nameOf(way));
        Browser browser(home, {.readStderr = true, .fileSizeLimit = 600});
        expectRefusalSaidAndShown(browser, "quorelle: the hard file-size limit (ulimit -H -f) of 600 bytes is too small",
                                  way);
    }
    std::filesystem::remove_all(home + "/data");
    std::ofstream(home + "/data") << "not a folder";
    for (CloseBy way : ways) {
        SCOPED_TRACE(std::string("a folder that cannot be made; closed by ") + nameOf(way));
        Browser browser(home, {.readStderr = true});
        expectRefusalSaidAndShown(browser, "the data folder " + folder + " cannot be made", way);
    }
}

// Without a display the start says so, naming the displays the toolkit
// could have used (GDK_BACKEND may narrow them to X11), and ends before the
// data folder is made. So does a start given arguments, which the browser
// takes none of (an address to open, say), before any window or bus name,
// in one line of its own.
TEST_F(SecondProcessTest, WithoutADisplayOrWithArgumentsTheStartSaysSoAndTouchesNoData) {
    ASSERT_TRUE(display);
    PrivateSessionBus bus;
    ASSERT_EQ(bus.problem(), "");
    for (const auto& arguments : std::vector<std::vector<std::string>>{{"http://127.0.0.1/"}, {"--help"}, {""}}) {
        SCOPED_TRACE("quorelle " + arguments.front());
        Browser browser(home, {.readStderr = true, .sessionBus = bus.address(), .arguments = arguments});
        ASSERT_TRUE(browser.started());
        ASSERT_TRUE(runUntil([&] { return browser.exited(); }, processLimitMs));
        EXPECT_TRUE(browser.endedWith(2)) << browser.describeEnd() << "\n" << browser.errorOutput();
        EXPECT_EQ(browser.errorOutput(), "quorelle: Quorelle takes no arguments; type addresses into the omnibox, "
                                         "the address field of its window.\n");
        EXPECT_FALSE(std::filesystem::exists(home + "/data"));
    }

    int number = 4242;
    while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number))) ++number;
    const std::string name = ":" + std::to_string(number);
    const std::string wayland = "quorelle-no-such-wayland-display";
    for (const auto& [backend, named] : std::vector<std::pair<std::optional<std::string>, std::string>>{
             {"x11", name}, {std::nullopt, wayland + ", " + name}}) {
        SCOPED_TRACE("GDK_BACKEND=" + backend.value_or("(unset)"));
        Browser browser(home, {.readStderr = true,
                               .environment = {{"DISPLAY", name},
                                               {"WAYLAND_DISPLAY", wayland},
                                               {"GDK_BACKEND", backend}}});
        ASSERT_TRUE(browser.started());
        ASSERT_TRUE(runUntil([&] { return browser.exited(); }, processLimitMs));
        EXPECT_TRUE(browser.endedWith(1)) << browser.status() << "\n" << browser.errorOutput();
        EXPECT_TRUE(browser.saidSo("quorelle: cannot open display: " + named + "\n")) << browser.errorOutput();
        EXPECT_FALSE(std::filesystem::exists(home + "/data"));
    }
}

// The file-size limit caps the web engine's shared memory too: a page is
// drawn into a memory file of 4 bytes a pixel (and the engine's sandbox
// needs a few kilobytes to start at all). Under a hard limit smaller than a
// page as large as the screen, the start says so and ends before any data
// is made. The soft limit is the browser's own to raise: it is raised to the
// hard one, so a soft limit alone never keeps a save from writing. A data
// file larger than the hard limit is named at the start, with the limit; its
// save then fails with "File too large" and the limit, which is told instead
// of the limit's signal ending the browser, and so does the quit, whose last
// try at it fails too; the web engine's processes ignore that signal as
// well. The engine's sandbox is on wherever it can start (scripts/test
// decides).
TEST_F(SecondProcessTest, AFileSizeLimitFailsSavesWithoutEndingTheBrowser) {
    ASSERT_TRUE(display);
    const int screen = DefaultScreen(display);
    const rlim_t screenPage = rlim_t(DisplayWidth(display, screen)) * rlim_t(DisplayHeight(display, screen)) * 4;
    {
        Browser browser(home, {.readStderr = true,
                               .fileSizeLimit = 600,
                               .fileSizeHardLimit = screenPage - 1});
        expectRefusalSaidAndShown(browser, "quorelle: the hard file-size limit (ulimit -H -f) of " +
                                               std::to_string(screenPage - 1) +
                                               " bytes is too small for the web engine, which needs " +
                                               std::to_string(screenPage) + " bytes");
        EXPECT_FALSE(std::filesystem::exists(home + "/data"));
    }

    const std::string history = folder + "/profiles/default/history.json";
    const auto historyOf = [](rlim_t bytes) {
        return R"([{"id": "6F1C3A52-0B7E-4D8A-9E1F-2C3B4A5D6E7F", "title": ")" + std::string(bytes, 'x') +
               R"(", "url": "https://example.com/", "visitedAt": "2026-01-01T00:00:00Z"}])";
    };
    {
        SCOPED_TRACE("a soft limit only");
        quorelle::testing::writeBytes(history, historyOf(screenPage));
        Browser browser(home, {.readStderr = true, .fileSizeLimit = 600, .fileSizeHardLimit = RLIM_INFINITY});
        ASSERT_TRUE(isUp(browser));
        std::ifstream limits("/proc/" + std::to_string(browser.pid()) + "/limits");
        std::string line;
        while (std::getline(limits, line) && !line.starts_with("Max file size")) {
        }
        EXPECT_NE(line.find("unlimited            unlimited"), std::string::npos) << line;
        // Written again, in the store's own form.
        EXPECT_TRUE(runUntil([&] { return ScratchFolder::read(history)->starts_with("[\n  {"); }, processLimitMs));
        closeMainWindow(browser);
        EXPECT_FALSE(browser.saidSo("File too large")) << browser.errorOutput();
    }

    SCOPED_TRACE("a hard limit smaller than the history");
    const rlim_t hardLimit = screenPage * 2;
    const std::string longHistory = historyOf(hardLimit);
    quorelle::testing::writeBytes(history, longHistory);
    // A first start again: it saves every file of the profile.
    std::filesystem::remove(folder + "/appSettings.json");
    const std::string limitNamed =
        "the hard file-size limit (ulimit -H -f) is " + std::to_string(hardLimit) + " bytes";
    Browser browser(home, {.readStderr = true, .fileSizeLimit = 600, .fileSizeHardLimit = hardLimit});
    ASSERT_TRUE(browser.started());
    ASSERT_TRUE(runUntil([&] { return browser.saidSo("Couldn't save your browsing data: File too large") ||
                                      browser.exited(); },
                         processLimitMs))
        << browser.errorOutput();
    ASSERT_FALSE(browser.exited()) << browser.describeEnd() << "\n" << browser.errorOutput();
    EXPECT_TRUE(browser.saidSo("quorelle: " + history + " is " + std::to_string(longHistory.size()) +
                               " bytes, more than the hard file-size limit (ulimit -H -f) of " +
                               std::to_string(hardLimit) + " bytes lets a save write.\n" +
                               "quorelle: changes to history won't be saved.\n"))
        << browser.errorOutput();
    EXPECT_TRUE(browser.saidSo("Couldn't save your browsing data: File too large: " + limitNamed))
        << browser.errorOutput();
    ASSERT_TRUE(isUp(browser));
    const Window window = windowsOf(display, browser.pid()).front();
    EXPECT_TRUE(runUntil([&] { return coloursIn(display, window) > 16; }, processLimitMs)) << "the page is drawn";
    ASSERT_TRUE(runUntil([&] { return childrenOf(browser.pid()).size() >= 2; }, processLimitMs));
    for (const auto& child : childrenOf(browser.pid())) EXPECT_TRUE(ignores(child, SIGXFSZ)) << child.name;
    EXPECT_FALSE(hasTemporaryFiles());
    EXPECT_EQ(ScratchFolder::read(history), longHistory);
    // The last try fails too: the quit says so.
    closeMainWindow(browser, 1);
    EXPECT_TRUE(browser.saidSo("quorelle: the latest changes to history could not be saved before quitting (File "
                               "too large: " + limitNamed + ") and are lost."))
        << browser.errorOutput();
    EXPECT_EQ(ScratchFolder::read(history), longHistory);
}

}  // namespace
