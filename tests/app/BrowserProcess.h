#pragma once

// Real browser processes on a test's display and data folder: how they are
// started and ended, what they show and say, and the fixture both process
// suites (one browser after another, and the hand-over between starts) use.
//
// Include it after the toolkit's headers: it includes Xlib, which defines
// short macro names (None, Bool, Status) that clash with them.

#include "store/AtomicFile.h"
#include "support/CloseBy.h"
#include "support/MainLoopWait.h"
#include "support/ScratchFolder.h"

#include <gio/gio.h>
#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <linux/capability.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "support/WindowManagerClose.h"

namespace quorelle::testing {

// How long a browser process may take to start, answer or end.
constexpr int processLimitMs = 30000;

// Every file under the folder with its contents.
inline std::map<std::string, std::string> contents(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().string()] = std::string(std::istreambuf_iterator<char>(in), {});
    }
    return files;
}

// The shown top-level windows on the display that belong to the process.
inline std::vector<Window> windowsOf(Display* display, pid_t pid) {
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

// A real key press in the window, which is raised and given the keyboard
// focus first, through the X server's test extension.
inline void pressKey(Display* display, Window window, KeySym keysym) {
    XRaiseWindow(display, window);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    const KeyCode code = XKeysymToKeycode(display, keysym);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
}

// A real Ctrl+Q in the window, as pressKey presses a key.
inline void pressQuit(Display* display, Window window) {
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
inline void closeDialog(Display* display, Window dialog, CloseBy way) {
    switch (way) {
        case CloseBy::button: return pressKey(display, dialog, XK_Return);
        case CloseBy::escape: return pressKey(display, dialog, XK_Escape);
        case CloseBy::windowManager: return askToClose(display, dialog);
    }
}

// How many colours the lower three quarters of the window show: a few while
// nothing is drawn there, many once a page is.
inline std::size_t coloursIn(Display* display, Window window) {
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

// The signals a process catches or ignores, by the /proc field ("SigCgt:",
// "SigIgn:"), as bits; a process that has ended, until it is waited for, as
// it left them. Nothing when /proc tells nothing.
inline std::optional<unsigned long long> signalsOf(pid_t pid, const std::string& field) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(field)) return std::stoull(line.substr(field.size()), nullptr, 16);
    return std::nullopt;
}
inline bool includes(const std::optional<unsigned long long>& signals, int signal) {
    return signals && (*signals & (1ULL << (signal - 1)));
}

// The quit signals, SIGTERM and SIGHUP, that a process leaves to their
// default action, which ends it: those it neither catches nor ignores.
inline std::string quitSignalsLeftToDefault(pid_t pid) {
    const auto caught = signalsOf(pid, "SigCgt:"), ignored = signalsOf(pid, "SigIgn:");
    if (!caught || !ignored) return "(/proc tells nothing of pid " + std::to_string(pid) + ")";
    std::string left;
    for (const auto& [signal, name] : {std::pair{SIGTERM, "SIGTERM"}, std::pair{SIGHUP, "SIGHUP"}})
        if (!includes(caught, signal) && !includes(ignored, signal)) left += std::string(left.empty() ? "" : " ") + name;
    return left;
}

// A process's state letter as /proc tells it ('T' once it is stopped), or
// one of its threads'.
inline char stateOf(pid_t pid, std::optional<pid_t> thread = std::nullopt) {
    const std::string process = "/proc/" + std::to_string(pid);
    std::ifstream stat(thread ? process + "/task/" + std::to_string(*thread) + "/stat" : process + "/stat");
    const std::string line(std::istreambuf_iterator<char>(stat), {});
    const auto end = line.rfind(')');
    return end != std::string::npos && end + 2 < line.size() ? line[end + 2] : '?';
}

// Whether every thread of the process sleeps.
inline bool asleep(pid_t pid) {
    std::error_code error;
    bool any = false;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        // A thread that ended meanwhile tells nothing.
        const char state = stateOf(pid, std::stoi(task.path().filename().string()));
        if (state != 'S' && state != '?') return false;
        any = any || state == 'S';
    }
    return any;
}

// Whether the process has taken `signal`, sent it by kill(): it is pending
// no more, and whatever its handler woke is done with it, GLib's worker
// thread (which marks the sources that watch the signal) included. Every
// thread is found asleep twice over: one that the handler woke just before
// its own thread slept is seen awake, or done, at the second look.
inline bool signalTaken(pid_t pid, int signal) {
    return !includes(signalsOf(pid, "ShdPnd:"), signal) && asleep(pid) && asleep(pid);
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
    // Started as nohup starts a program: it inherits SIGHUP ignored.
    bool hangUpIgnored = false;
    std::vector<std::string> arguments;
    // The program started: the browser, unless another program plays a part.
    const char* program = QUORELLE_BROWSER;
};

class Browser {
public:
    Browser(const std::string& home, Launch launch = {})
        : hadSessionBus_(launch.sessionBus.has_value()),
          fileSizeLimit_(launch.fileSizeLimit),
          fileSizeHardLimit_(launch.fileSizeHardLimit),
          boundByFileModes_(launch.boundByFileModes),
          hangUpIgnored_(launch.hangUpIgnored) {
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
        std::vector<char*> argv = {const_cast<char*>(launch.program)};
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
            // A case that stopped it and failed before letting it go on.
            kill(pid_, SIGCONT);
            runUntil([&] { return exited(); }, processLimitMs);
        }
        if (stderr_) g_io_channel_unref(stderr_);
    }

    bool started() const { return started_; }
    bool hadSessionBus() const { return hadSessionBus_; }
    pid_t pid() const { return pid_; }
    // A process that could not be started counts as ended (and waits for no
    // other child of the test's).
    bool exited() {
        if (!started_) return true;
        if (!exited_ && waitpid(pid_, &status_, WNOHANG) == pid_) exited_ = true;
        return exited_;
    }
    // Whether it has ended, without waiting for it: until exited() does,
    // /proc tells of it as it was at its end.
    bool ended() {
        siginfo_t info{};
        return exited_ || !started_ ||
               (waitid(P_PID, pid_, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid_);
    }
    int status() const { return status_; }
    std::string describeEnd() const {
        if (!started_) return "not started";
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
    // Whether it said it ends, refused (each refusal's line says so).
    bool refused() { return saidSo("; this one ends without changing "); }
    // Its pid, how it ended and what it said, for a failure's message.
    std::string report() {
        return "pid " + std::to_string(pid_) + ", " + describeEnd() + ", said:\n" + errorOutput();
    }

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
        if (browser->hangUpIgnored_) signal(SIGHUP, SIG_IGN);
    }

    bool hadSessionBus_;
    std::optional<rlim_t> fileSizeLimit_;
    std::optional<rlim_t> fileSizeHardLimit_;
    bool boundByFileModes_ = false;
    bool hangUpIgnored_ = false;
    bool started_ = false;
    bool exited_ = false;
    GPid pid_ = 0;
    int status_ = 0;
    GIOChannel* stderr_ = nullptr;
    std::string errors_;
};

class BrowserProcessTest : public ::testing::Test {
protected:
    BrowserProcessTest() { display = XOpenDisplay(nullptr); }
    ~BrowserProcessTest() override {
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
                                   CloseBy closeBy = CloseBy::windowManager, int saidWithinMs = processLimitMs) {
        ASSERT_TRUE(browser.started());
        ASSERT_TRUE(runUntil([&] { return browser.saidSo(why) || browser.exited(); }, saidWithinMs))
            << browser.errorOutput();
        ASSERT_FALSE(browser.exited()) << "the dialog keeps it until it is closed: " << browser.report();
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
        for (const auto& line : linesOf(browser)) EXPECT_TRUE(line.starts_with("quorelle: ")) << line;
    }
    // A start that waited says only what it waited for.
    static void expectOnlyWaitingLines(Browser& browser) {
        for (const auto& line : linesOf(browser)) EXPECT_TRUE(line.starts_with("quorelle: waiting for ")) << line;
    }
    // What the browser said on stderr, but for what the web engine's sandbox
    // may add. A browser that ends as the engine still starts a process in
    // the sandbox takes the engine's D-Bus proxy with it, and the sandbox
    // says that the proxy it was to hand the process is gone. And when the
    // browser was given no session bus, that proxy, started with the address
    // the browser was given, warns (after a blank line) if a process in the
    // sandbox reaches it, which how their starts race decides. The browser
    // has said at start that there is no bus.
    static std::vector<std::string> linesOf(Browser& browser) {
        std::vector<std::string> lines;
        std::istringstream said(browser.errorOutput());
        for (std::string line; std::getline(said, line);)
            if (!(line.starts_with("bwrap: ") && line.find("/webkitgtk/bus-proxy-") != std::string::npos &&
                  line.ends_with(": No such file or directory")))
                lines.push_back(line);
        if (browser.hadSessionBus()) return lines;
        auto proxyFindsNoBus = [](const std::string& line) {
            return line.starts_with("** (") && line.find(" WARNING **: ") != std::string::npos &&
                   line.ends_with(": Failed to connect to bus: Could not connect: No such file or directory");
        };
        for (std::size_t i = 0; i < lines.size();)
            if (proxyFindsNoBus(lines[i]))
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
            else if (lines[i].empty() && i + 1 < lines.size() && proxyFindsNoBus(lines[i + 1]))
                lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i), lines.begin() + static_cast<std::ptrdiff_t>(i) + 2);
            else
                ++i;
        return lines;
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

    // What the holder of the folder notes in its lock file.
    std::string note() const { return ScratchFolder::read(folder + "/.lock").value_or(""); }

    ScratchFolder scratch{"quorelle-two-XXXXXX"};
    const std::string home = scratch.path();
    const std::string folder = home + "/data/QuorelleData";
    Display* display = nullptr;
};

}  // namespace quorelle::testing
