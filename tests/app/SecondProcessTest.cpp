// Real browser processes on real data folders. Two on one folder, without a
// session bus (a container, a plain X session): the second one says so on
// stderr and in a dialog, and ends when the dialog is closed (by its button,
// Escape or the window manager), having written nothing, however the
// folder's lock file was left. A browser whose folder is moved away keeps to
// it, and never writes into the new one another browser makes in its place.
// A start without a display, on a folder that cannot be locked, or under a
// file-size limit the web engine cannot run under, says why and ends; one on
// a read-only folder or under a file-size limit smaller than a data file
// runs on and says what it cannot save. One started without any session bus
// on a display whose desktop publishes an accessibility bus closes cleanly.
// And the main window's size, kept from one run to the next.
#include "store/AtomicFile.h"
#include "support/CloseBy.h"
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
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Last: the X11 headers define short macro names (None, Bool, Status).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
// After them: it uses them as well.
#include "support/DesktopAccessibilityBus.h"

#include "support/WindowManagerClose.h"

namespace {

using quorelle::testing::askToClose;
using quorelle::testing::CloseBy;
using quorelle::testing::DesktopAccessibilityBus;
using quorelle::testing::PrivateSessionBus;
using quorelle::testing::processesWith;
using quorelle::testing::runFor;
using quorelle::testing::runUntil;
using quorelle::testing::ScratchFolder;

// How long a browser process may take to start, answer or end.
constexpr int processLimitMs = 30000;

// Every file under the folder with its contents.
std::map<std::string, std::string> contents(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

// The shown top-level windows on the display that belong to the process.
std::vector<Window> windowsOf(Display* display, pid_t pid) {
    std::vector<Window> found;
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) return found;
    for (unsigned i = 0; i < count; ++i) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* value = nullptr;
        if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after,
                               &value) == Success &&
            value && items == 1 && static_cast<pid_t>(*reinterpret_cast<unsigned long*>(value)) == pid) {
            XWindowAttributes attributes{};
            if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable)
                found.push_back(children[i]);
        }
        if (value) XFree(value);
    }
    if (children) XFree(children);
    return found;
}

// A window property of 32-bit items (cardinals or atoms).
std::vector<unsigned long> property(Display* display, Window window, const char* name, Atom type) {
    std::vector<unsigned long> values;
    Atom actual = 0;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* value = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 64, False, type, &actual, &format,
                           &items, &after, &value) == Success &&
        value && format == 32)
        values.assign(reinterpret_cast<unsigned long*>(value), reinterpret_cast<unsigned long*>(value) + items);
    if (value) XFree(value);
    return values;
}

// A real key press in the window, which is raised and given the keyboard
// focus first, through the X server's test extension.
void pressKey(Display* display, Window window, KeySym keysym) {
    XRaiseWindow(display, window);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    const KeyCode code = XKeysymToKeycode(display, keysym);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
}

// A real Ctrl+Q in the window, as pressKey presses a key.
void pressQuit(Display* display, Window window) {
    XRaiseWindow(display, window);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    const KeyCode control = XKeysymToKeycode(display, XK_Control_L);
    const KeyCode q = XKeysymToKeycode(display, XK_q);
    XTestFakeKeyEvent(display, control, True, CurrentTime);
    XTestFakeKeyEvent(display, q, True, CurrentTime);
    XTestFakeKeyEvent(display, q, False, CurrentTime);
    XTestFakeKeyEvent(display, control, False, CurrentTime);
    XFlush(display);
}

// Closes a refused start's dialog, whose one button has the keyboard focus.
void closeDialog(Display* display, Window dialog, CloseBy way) {
    switch (way) {
        case CloseBy::button: return pressKey(display, dialog, XK_Return);
        case CloseBy::escape: return pressKey(display, dialog, XK_Escape);
        case CloseBy::windowManager: return askToClose(display, dialog);
    }
}

// How many colours the lower three quarters of the window show: a few while
// nothing is drawn there, many once a page is.
std::size_t coloursIn(Display* display, Window window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.height < 4) return 0;
    const int top = attributes.height / 4;
    XImage* image = XGetImage(display, window, 0, top, attributes.width, attributes.height - top, AllPlanes, ZPixmap);
    if (!image) return 0;
    std::vector<unsigned long> pixels;
    for (int y = 0; y < image->height; y += 2)
        for (int x = 0; x < image->width; x += 2) pixels.push_back(XGetPixel(image, x, y));
    XDestroyImage(image);
    std::sort(pixels.begin(), pixels.end());
    return std::unique(pixels.begin(), pixels.end()) - pixels.begin();
}

// How a browser process is started.
struct Launch {
    bool readStderr = false;
    // The address of the session bus it joins; without one, it has none.
    std::optional<std::string> sessionBus;
    // Variables set (or, without a value, removed) on top of the test's own.
    std::map<std::string, std::optional<std::string>> environment;
    // RLIMIT_FSIZE in bytes: the soft limit, and the hard one when it differs.
    std::optional<rlim_t> fileSizeLimit;
    std::optional<rlim_t> fileSizeHardLimit;
    // File modes bind it as they bind an ordinary user, the superuser too.
    bool boundByFileModes = false;
    std::vector<std::string> arguments;
};

class Browser {
public:
    Browser(const std::string& home, Launch launch = {})
        : fileSizeLimit_(launch.fileSizeLimit),
          fileSizeHardLimit_(launch.fileSizeHardLimit),
          boundByFileModes_(launch.boundByFileModes) {
        gchar** env = g_get_environ();
        env = g_environ_setenv(env, "HOME", home.c_str(), TRUE);
        env = g_environ_setenv(env, "XDG_DATA_HOME", (home + "/data").c_str(), TRUE);
        env = g_environ_setenv(env, "XDG_CACHE_HOME", (home + "/cache").c_str(), TRUE);
        env = g_environ_setenv(env, "XDG_CONFIG_HOME", (home + "/config").c_str(), TRUE);
        // Without a session bus nothing makes the second start a remote of the first.
        env = g_environ_setenv(env, "DBUS_SESSION_BUS_ADDRESS",
                               launch.sessionBus.value_or("unix:path=" + home + "/no-bus").c_str(), TRUE);
        // A test's own bus offers no accessibility bus to look for.
        if (launch.sessionBus) env = g_environ_setenv(env, "GTK_A11Y", "none", TRUE);
        for (const auto& [name, value] : launch.environment)
            env = value ? g_environ_setenv(env, name.c_str(), value->c_str(), TRUE)
                        : g_environ_unsetenv(env, name.c_str());
        std::vector<char*> argv = {const_cast<char*>(QUORELLE_BROWSER)};
        for (auto& argument : launch.arguments) argv.push_back(argument.data());
        argv.push_back(nullptr);
        int err = -1;
        const auto flags = static_cast<GSpawnFlags>(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDOUT_TO_DEV_NULL |
                                                    (launch.readStderr ? 0 : G_SPAWN_STDERR_TO_DEV_NULL));
        started_ = g_spawn_async_with_pipes(nullptr, argv.data(), env, flags, setUpChild, this, &pid_, nullptr,
                                            nullptr, launch.readStderr ? &err : nullptr, nullptr);
        g_strfreev(env);
        if (launch.readStderr && started_) {
            stderr_ = g_io_channel_unix_new(err);
            g_io_channel_set_close_on_unref(stderr_, TRUE);
            g_io_channel_set_flags(stderr_, G_IO_FLAG_NONBLOCK, nullptr);
        }
    }
    ~Browser() {
        if (started_ && !exited()) {
            kill(pid_, SIGTERM);
            runUntil([&] { return exited(); }, processLimitMs);
        }
        if (stderr_) g_io_channel_unref(stderr_);
    }

    bool started() const { return started_; }
    pid_t pid() const { return pid_; }
    bool exited() {
        if (!exited_ && waitpid(pid_, &status_, WNOHANG) == pid_) exited_ = true;
        return exited_;
    }
    int status() const { return status_; }
    std::string describeEnd() const {
        if (!exited_) return "still running";
        if (WIFSIGNALED(status_)) return "killed by signal " + std::to_string(WTERMSIG(status_));
        return "exit status " + std::to_string(WEXITSTATUS(status_));
    }
    bool endedWith(int code) const { return exited_ && WIFEXITED(status_) && WEXITSTATUS(status_) == code; }
    const std::string& errorOutput() {
        gchar buffer[512];
        gsize read = 0;
        while (stderr_ && g_io_channel_read_chars(stderr_, buffer, sizeof buffer, &read, nullptr) == G_IO_STATUS_NORMAL)
            errors_.append(buffer, read);
        return errors_;
    }
    bool saidSo(const std::string& text) { return errorOutput().find(text) != std::string::npos; }

private:
    // In the child, before the browser starts: the limit it inherits, and
    // the superuser's power over file modes taken out of what the browser
    // can ever have (an ordinary user never had it).
    static void setUpChild(gpointer self) {
        const auto* browser = static_cast<Browser*>(self);
        if (browser->fileSizeLimit_) {
            const rlimit value{*browser->fileSizeLimit_,
                               browser->fileSizeHardLimit_.value_or(*browser->fileSizeLimit_)};
            setrlimit(RLIMIT_FSIZE, &value);
        }
        if (browser->boundByFileModes_)
            for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) prctl(PR_CAPBSET_DROP, capability);
    }

    std::optional<rlim_t> fileSizeLimit_;
    std::optional<rlim_t> fileSizeHardLimit_;
    bool boundByFileModes_ = false;
    bool started_ = false;
    bool exited_ = false;
    GPid pid_ = 0;
    int status_ = 0;
    GIOChannel* stderr_ = nullptr;
    std::string errors_;
};

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

class SecondProcessTest : public ::testing::Test {
protected:
    SecondProcessTest() { display = XOpenDisplay(nullptr); }
    ~SecondProcessTest() override {
        if (display) XCloseDisplay(display);
    }
    // The launch shows a window; the first one also writes the settings and
    // the profile's files, the saved themes last.
    bool isUp(Browser& browser, bool firstLaunch = true) {
        return runUntil([&] {
            return (!firstLaunch || (std::filesystem::exists(folder + "/appSettings.json") &&
                                     std::filesystem::exists(folder + "/profiles/default/savedThemes.json") &&
                                     !hasTemporaryFiles())) &&
                   !windowsOf(display, browser.pid()).empty();
        }, processLimitMs);
    }
    bool hasTemporaryFiles() const {
        std::error_code error;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error))
            if (quorelle::AtomicFile::isTemporaryName(entry.path().filename().string())) return true;
        return false;
    }
    // A start that is refused: `browser` says `why` on stderr, shows its
    // dialog until that is closed, and ends with status 1, without a fault.
    void expectRefusalSaidAndShown(Browser& browser, const std::string& why,
                                   CloseBy closeBy = CloseBy::windowManager) {
        ASSERT_TRUE(browser.started());
        ASSERT_TRUE(runUntil([&] { return browser.saidSo(why) || browser.exited(); }, processLimitMs))
            << browser.errorOutput();
        EXPECT_FALSE(browser.exited()) << "the dialog keeps it until it is closed";
        // Shown and drawn: ready for the user.
        ASSERT_TRUE(runUntil([&] {
            const auto shown = windowsOf(display, browser.pid());
            return !shown.empty() && coloursIn(display, shown.front()) > 2;
        }, processLimitMs));
        for (Window dialog : windowsOf(display, browser.pid())) closeDialog(display, dialog, closeBy);
        ASSERT_TRUE(runUntil([&] { return browser.exited(); }, processLimitMs)) << browser.errorOutput();
        EXPECT_TRUE(browser.endedWith(1)) << browser.status();
        expectOnlyItsOwnLines(browser);
    }
    // Only what the user must know is on stderr: the browser's own lines.
    static void expectOnlyItsOwnLines(Browser& browser) {
        std::istringstream said(browser.errorOutput());
        for (std::string line; std::getline(said, line);) EXPECT_TRUE(line.starts_with("quorelle: ")) << line;
    }
    // A second browser on the folder while `first` holds it: it is refused
    // and writes nothing.
    void expectSecondStartRefused(Browser& first, CloseBy closeBy = CloseBy::windowManager) {
        const auto before = contents(folder);
        Browser second(home, {.readStderr = true});
        expectRefusalSaidAndShown(second, "is using the data folder " + folder, closeBy);
        EXPECT_EQ(contents(folder), before);
        EXPECT_FALSE(first.exited());
    }
    // Closes the browser's main window as a user does; the browser then ends,
    // with status 1 when its data could not all be saved.
    void closeMainWindow(Browser& browser, int status = 0) {
        for (Window window : windowsOf(display, browser.pid())) askToClose(display, window);
        ASSERT_TRUE(runUntil([&] { return browser.exited(); }, processLimitMs));
        EXPECT_TRUE(browser.endedWith(status)) << browser.describeEnd() << "\n" << browser.errorOutput();
    }

    ScratchFolder scratch{"quorelle-two-XXXXXX"};
    const std::string home = scratch.path();
    const std::string folder = home + "/data/QuorelleData";
    Display* display = nullptr;
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

// On a desktop session bus the second start is handed to the first browser,
// as it always was, and writes nothing either.
TEST_F(SecondProcessTest, WithASessionBusTheSecondStartIsHandedToTheFirst) {
    ASSERT_TRUE(display);
    PrivateSessionBus bus;
    ASSERT_EQ(bus.problem(), "");
    Browser first(home, {.sessionBus = bus.address()});
    ASSERT_TRUE(first.started());
    ASSERT_TRUE(isUp(first));
    const auto before = contents(folder);
    Browser second(home, {.readStderr = true, .sessionBus = bus.address()});
    ASSERT_TRUE(runUntil([&] { return second.exited(); }, processLimitMs)) << second.errorOutput();
    EXPECT_TRUE(second.endedWith(0)) << second.status();
    EXPECT_TRUE(second.errorOutput().empty()) << second.errorOutput();
    EXPECT_EQ(contents(folder), before);
    EXPECT_FALSE(first.exited());

    // A start on another session bus cannot reach it, and says so at once:
    // it does not wait the ten seconds a browser still starting is given to
    // appear on the start's own bus.
    PrivateSessionBus otherBus;
    ASSERT_EQ(otherBus.problem(), "");
    const gint64 startedAt = g_get_monotonic_time();
    Browser third(home, {.readStderr = true, .sessionBus = otherBus.address()});
    ASSERT_TRUE(runUntil([&] { return third.saidSo("is using the data folder") || third.exited(); }, processLimitMs));
    EXPECT_LT(g_get_monotonic_time() - startedAt, 10 * G_USEC_PER_SEC);
    expectRefusalSaidAndShown(third, "is using the data folder " + folder);
    EXPECT_EQ(contents(folder), before);
    EXPECT_FALSE(first.exited());
}

// Starts that meet a browser as it quits. While it runs, each is handed to
// it; once it has begun to quit it declines them (and takes back no quit),
// and the first start to take the folder after its last save becomes the
// browser, the others being handed to that one. No start is ever refused,
// and a quit followed by starts always leaves exactly one browser, with one
// window. Rounds at varied delays, as the order in which they meet differs.
TEST_F(SecondProcessTest, StartsThatMeetAQuittingBrowserLeaveOneBrowserAndAreNeverRefused) {
    ASSERT_TRUE(display);
    PrivateSessionBus bus;
    ASSERT_EQ(bus.problem(), "");
    const Launch onBus{.readStderr = true, .sessionBus = bus.address()};
    auto holder = std::make_unique<Browser>(home, onBus);
    ASSERT_TRUE(isUp(*holder));
    const std::pair<bool, int> rounds[] = {{false, 50}, {false, 150}, {false, 300},
                                           {true, 0},   {true, 100},  {true, 300}};
    for (const auto& [quitFirst, delayMs] : rounds) {
        SCOPED_TRACE(std::string(quitFirst ? "Ctrl+Q, then five starts " : "five starts, then Ctrl+Q ") +
                     std::to_string(delayMs) + " ms later");
        // The holder answers on the bus: its note says so.
        const std::string running = "pid=" + std::to_string(holder->pid()) + " ";
        ASSERT_TRUE(runUntil([&] {
            const std::string note = ScratchFolder::read(folder + "/.lock").value_or("");
            return note.find(running) != std::string::npos && note.find("state=running") != std::string::npos &&
                   !windowsOf(display, holder->pid()).empty();
        }, processLimitMs));
        const Window window = windowsOf(display, holder->pid()).front();
        std::vector<std::unique_ptr<Browser>> starts;
        const auto startFive = [&] {
            for (int i = 0; i < 5; ++i) starts.push_back(std::make_unique<Browser>(home, onBus));
        };
        if (quitFirst) pressQuit(display, window); else startFive();
        runFor(delayMs);  // when the user acts: no state is awaited
        if (quitFirst) startFive(); else pressQuit(display, window);
        ASSERT_TRUE(runUntil([&] { return holder->exited(); }, processLimitMs)) << "the quit was taken back";
        EXPECT_TRUE(holder->endedWith(0)) << holder->describeEnd() << "\n" << holder->errorOutput();

        // Every start settles: handed over, or the browser with its window.
        const auto left = [&] {
            std::vector<Browser*> found;
            for (auto& start : starts)
                if (!start->exited()) found.push_back(start.get());
            return found;
        };
        ASSERT_TRUE(runUntil([&] {
            const auto running = left();
            return running.empty() || (running.size() == 1 && !windowsOf(display, running[0]->pid()).empty());
        }, processLimitMs));
        for (auto& start : starts) {
            EXPECT_FALSE(start->saidSo("is using the data folder")) << start->errorOutput();
            if (start->exited()) {
                EXPECT_TRUE(start->endedWith(0)) << start->describeEnd() << "\n" << start->errorOutput();
            }
        }
        if (quitFirst) {
            ASSERT_EQ(left().size(), 1u);
        }
        if (left().empty()) {
            holder = std::make_unique<Browser>(home, onBus);
            ASSERT_TRUE(isUp(*holder, false));
            continue;
        }
        Browser* next = left().front();
        EXPECT_EQ(windowsOf(display, next->pid()).size(), 1u);
        for (auto& start : starts)
            if (start.get() == next) holder = std::move(start);
    }
    closeMainWindow(*holder);
}

// Ten starts at once on one data folder and one session bus: the one that
// holds the folder opens its window, and every other one is handed to it and
// ends with status 0, those that came while it was still loading included.
// Three rounds, as the order in which they come differs from one to the next.
TEST_F(SecondProcessTest, TenStartsAtOnceOnOneBusOpenOneWindow) {
    ASSERT_TRUE(display);
    PrivateSessionBus bus;
    ASSERT_EQ(bus.problem(), "");
    for (int round = 1; round <= 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::vector<std::unique_ptr<Browser>> starts;
        for (int i = 0; i < 10; ++i)
            starts.push_back(std::make_unique<Browser>(home, Launch{.readStderr = true, .sessionBus = bus.address()}));
        const auto running = [&] {
            std::vector<Browser*> left;
            for (auto& start : starts)
                if (!start->exited()) left.push_back(start.get());
            return left;
        };
        const auto refused = [&] {
            return std::any_of(starts.begin(), starts.end(), [](auto& start) { return start->saidSo("quorelle:"); });
        };
        ASSERT_TRUE(runUntil([&] { return running().size() <= 1 || refused(); }, processLimitMs));
        for (auto& start : starts) {
            if (!start->exited()) continue;
            EXPECT_TRUE(start->endedWith(0)) << start->describeEnd() << "\n" << start->errorOutput();
            EXPECT_EQ(start->errorOutput(), "");
        }
        ASSERT_EQ(running().size(), 1u);
        Browser& holder = *running().front();
        ASSERT_TRUE(isUp(holder, round == 1));
        EXPECT_EQ(windowsOf(display, holder.pid()).size(), 1u);
        closeMainWindow(holder);
        EXPECT_EQ(holder.errorOutput(), "");
    }
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
        ASSERT_TRUE(runUntil([&] { return browser.saidSo("; nothing changed now will be saved."); }, processLimitMs))
            << browser.errorOutput();
        EXPECT_TRUE(browser.saidSo(nothing)) << browser.errorOutput();
        expectSecondStartRefused(browser);
        closeMainWindow(browser);
        EXPECT_FALSE(browser.saidSo("could not be saved")) << browser.errorOutput();
    }
    {
        UnwritableTree rootOnly(folder, UnwritableTree::Reach::rootOnly);
        Browser browser(home, {.readStderr = true});
        ASSERT_TRUE(isUp(browser, false));
        ASSERT_TRUE(runUntil([&] {
            return browser.saidSo(
                "; changes to the list of profiles and the window size won't be saved; browsing data will be.");
        }, processLimitMs))
            << browser.errorOutput();
        EXPECT_FALSE(browser.saidSo("nothing changed now will be saved")) << browser.errorOutput();
        closeMainWindow(browser);
    }
    {
        const std::string profile = folder + "/profiles/default";
        UnwritableTree profileOnly(profile, UnwritableTree::Reach::rootOnly);
        Browser browser(home, {.readStderr = true});
        ASSERT_TRUE(isUp(browser, false));
        ASSERT_TRUE(runUntil([&] {
            return browser.saidSo("quorelle: the profile folder " + profile + " cannot be written (");
        }, processLimitMs))
            << browser.errorOutput();
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
        ASSERT_TRUE(runUntil([&] {
            return browser.saidSo("quorelle: the profile folder " + profiles + "/default cannot be written (" +
                                  profiles + ": Permission denied); changes to its browsing data won't be saved.\n");
        }, processLimitMs))
            << browser.errorOutput();
        closeMainWindow(browser);
    }
}

// Whatever stands where a website data folder belongs and is no folder (a
// file, a FIFO) is set aside as it is, a private folder is made there before
// the web engine uses it, cookies are kept in it, and the start says so once:
// over a file the engine's sandbox would end the browser. A website data
// folder the browser cannot write is named at the start.
TEST_F(SecondProcessTest, WhatStandsWhereWebsiteDataBelongsIsSetAsideAndAFolderThatCannotBeWrittenIsNamed) {
    ASSERT_TRUE(display);
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
            ASSERT_TRUE(runUntil([&] {
                return browser.saidSo("quorelle: " + place + " is not a folder; it is kept as " + place +
                                      ".unreadable-") ||
                       browser.exited();
            }, processLimitMs))
                << browser.errorOutput();
        ASSERT_TRUE(runUntil([&] { return std::filesystem::exists(data + "/cookies.sqlite"); }, processLimitMs));
        EXPECT_FALSE(browser.exited()) << browser.describeEnd() << "\n" << browser.errorOutput();
        closeMainWindow(browser);
        expectOnlyItsOwnLines(browser);
        std::istringstream said(browser.errorOutput());
        int told = 0;
        for (std::string line; std::getline(said, line);) told += line.find(" it is kept as ") != std::string::npos;
        EXPECT_EQ(told, 2) << browser.errorOutput();
    }
    for (const auto& place : {data, cache}) {
        EXPECT_EQ(std::filesystem::status(place).permissions(), std::filesystem::perms::owner_all) << place;
        std::vector<std::filesystem::path> aside;
        for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(place).parent_path()))
            if (entry.path().filename().string().starts_with("QuorelleWebData.unreadable-"))
                aside.push_back(entry.path());
        ASSERT_EQ(aside.size(), 1u) << place;
        if (place == data)
            EXPECT_EQ(ScratchFolder::read(aside[0]), "not a folder");
        else
            EXPECT_TRUE(std::filesystem::is_fifo(std::filesystem::symlink_status(aside[0])));
    }
    {
        // Read-only, not closed: the sandbox of a superuser bound by file
        // modes cannot bind folders inside a folder it may not search (an
        // ordinary user's can), and would end the browser.
        const NarrowedFolder readOnly(data, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
        Browser browser(home, {.readStderr = true, .boundByFileModes = true});
        ASSERT_TRUE(isUp(browser, false));
        ASSERT_TRUE(runUntil([&] {
            return browser.saidSo("quorelle: the website data folder " + data +
                                  " cannot be written (Permission denied); cookies and other website data won't "
                                  "be saved.\n");
        }, processLimitMs))
            << browser.errorOutput();
        closeMainWindow(browser);
    }
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

// The main window comes back at the size it was left at, maximised or not;
// a damaged size file gives the default size and is set aside.
TEST_F(SecondProcessTest, TheMainWindowComesBackAtTheSizeItWasLeftAt) {
    ASSERT_TRUE(display);
    const std::string sizeFile = folder + "/windowSize.json";
    const auto mainWindow = [&](Browser& browser) {
        return runUntil([&] { return !windowsOf(display, browser.pid()).empty(); }, processLimitMs)
                   ? windowsOf(display, browser.pid()).front()
                   : Window(0);
    };
    const auto sizeOf = [&](Window window) {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display, window, &attributes);
        return std::pair{attributes.width, attributes.height};
    };
    {
        Browser browser(home);
        const Window window = mainWindow(browser);
        ASSERT_TRUE(window);
        EXPECT_EQ(sizeOf(window), std::pair(1200, 800));
        // As a window manager resizes it; the toolkit has taken the new size
        // when it marks the new area opaque.
        XResizeWindow(display, window, 1000, 700);
        XFlush(display);
        ASSERT_TRUE(runUntil([&] {
            return property(display, window, "_NET_WM_OPAQUE_REGION", XA_CARDINAL) ==
                   std::vector<unsigned long>{0, 0, 1000, 700};
        }, processLimitMs));
        closeMainWindow(browser);
    }
    EXPECT_EQ(ScratchFolder::read(sizeFile), "{\n  \"height\": 700,\n  \"maximized\": false,\n  \"width\": 1000\n}");
    {
        Browser browser(home);
        const Window window = mainWindow(browser);
        ASSERT_TRUE(window);
        EXPECT_EQ(sizeOf(window), std::pair(1000, 700));
        closeMainWindow(browser);
    }

    // Smaller than the window can be: its smallest size, asked to be maximised.
    std::ofstream(sizeFile, std::ios::trunc) << R"({"width": 300, "height": 200, "maximized": true})";
    {
        Browser browser(home);
        const Window window = mainWindow(browser);
        ASSERT_TRUE(window);
        EXPECT_EQ(sizeOf(window), std::pair(800, 600));
        const auto state = property(display, window, "_NET_WM_STATE", XA_ATOM);
        for (const char* maximized : {"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"})
            EXPECT_NE(std::find(state.begin(), state.end(), XInternAtom(display, maximized, False)), state.end())
                << maximized;
        closeMainWindow(browser);
    }
    EXPECT_EQ(ScratchFolder::read(sizeFile), "{\n  \"height\": 600,\n  \"maximized\": true,\n  \"width\": 800\n}");

    const std::string damaged = R"({"width": "wide", "height": 700, "maximized": false})";
    std::ofstream(sizeFile, std::ios::trunc) << damaged;
    {
        Browser browser(home);
        const Window window = mainWindow(browser);
        ASSERT_TRUE(window);
        EXPECT_EQ(sizeOf(window), std::pair(1200, 800));
        closeMainWindow(browser);
    }
    EXPECT_EQ(ScratchFolder::read(sizeFile), "{\n  \"height\": 800,\n  \"maximized\": false,\n  \"width\": 1200\n}");
    int setAside = 0;
    for (const auto& name : quorelle::testing::listNames(folder))
        if (name.starts_with("windowSize.json.unreadable-")) {
            ++setAside;
            EXPECT_EQ(ScratchFolder::read(folder + "/" + name), damaged);
        }
    EXPECT_EQ(setAside, 1);
}

}  // namespace
