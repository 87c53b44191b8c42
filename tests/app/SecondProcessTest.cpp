// Two real browser processes on one data folder, without a session bus (a
// container, a plain X session): the second one says so on stderr and in a
// dialog, and ends when the dialog is closed, having written nothing.
#include "support/MainLoopWait.h"
#include "support/ScratchFolder.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Last: the X11 headers define short macro names (None, Bool, Status).
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

using quorelle::testing::runUntil;
using quorelle::testing::ScratchFolder;

// How long a browser process may take to start, answer or end.
constexpr int processLimitMs = 20000;

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

// What a window manager sends when the user closes a window.
void askToClose(Display* display, Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

class Browser {
public:
    Browser(const std::string& home, bool readStderr, bool withSessionBus = false) {
        gchar** env = g_get_environ();
        env = g_environ_setenv(env, "HOME", home.c_str(), TRUE);
        env = g_environ_setenv(env, "XDG_DATA_HOME", (home + "/data").c_str(), TRUE);
        env = g_environ_setenv(env, "XDG_CACHE_HOME", (home + "/cache").c_str(), TRUE);
        env = g_environ_setenv(env, "XDG_CONFIG_HOME", (home + "/config").c_str(), TRUE);
        // Without a session bus nothing makes the second start a remote of the first.
        if (!withSessionBus)
            env = g_environ_setenv(env, "DBUS_SESSION_BUS_ADDRESS", ("unix:path=" + home + "/no-bus").c_str(), TRUE);
        char* argv[] = {const_cast<char*>(QUORELLE_BROWSER), nullptr};
        int err = -1;
        const auto flags = static_cast<GSpawnFlags>(G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDOUT_TO_DEV_NULL |
                                                    (readStderr ? 0 : G_SPAWN_STDERR_TO_DEV_NULL));
        started_ = g_spawn_async_with_pipes(nullptr, argv, env, flags, nullptr, nullptr, &pid_, nullptr, nullptr,
                                            readStderr ? &err : nullptr, nullptr);
        g_strfreev(env);
        if (readStderr && started_) {
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
    const std::string& errorOutput() {
        gchar buffer[512];
        gsize read = 0;
        while (stderr_ && g_io_channel_read_chars(stderr_, buffer, sizeof buffer, &read, nullptr) == G_IO_STATUS_NORMAL)
            errors_.append(buffer, read);
        return errors_;
    }

private:
    bool started_ = false;
    bool exited_ = false;
    GPid pid_ = 0;
    int status_ = 0;
    GIOChannel* stderr_ = nullptr;
    std::string errors_;
};

class SecondProcessTest : public ::testing::Test {
protected:
    SecondProcessTest() { display = XOpenDisplay(nullptr); }
    ~SecondProcessTest() override {
        if (display) XCloseDisplay(display);
    }
    // The first launch writes the settings and shows its window.
    bool isUp(Browser& browser) {
        return runUntil([&] {
            return std::filesystem::exists(folder + "/appSettings.json") && !windowsOf(display, browser.pid()).empty();
        }, processLimitMs);
    }

    ScratchFolder scratch{"quorelle-two-XXXXXX"};
    const std::string home = scratch.path();
    const std::string folder = home + "/data/QuorelleData";
    Display* display = nullptr;
};

TEST_F(SecondProcessTest, ASecondBrowserOnTheSameDataFolderSaysSoAndEndsWithoutWriting) {
    ASSERT_TRUE(display);
    {
        Browser first(home, false);
        ASSERT_TRUE(first.started());
        ASSERT_TRUE(isUp(first));
        const auto before = contents(folder);

        Browser second(home, true);
        ASSERT_TRUE(second.started());
        ASSERT_TRUE(runUntil([&] {
            return second.errorOutput().find("is using the data folder " + folder) != std::string::npos ||
                   second.exited();
        }, processLimitMs)) << second.errorOutput();
        EXPECT_FALSE(second.exited()) << "the dialog keeps it until it is closed";
        ASSERT_TRUE(runUntil([&] { return !windowsOf(display, second.pid()).empty(); }, processLimitMs));
        for (Window dialog : windowsOf(display, second.pid())) askToClose(display, dialog);
        ASSERT_TRUE(runUntil([&] { return second.exited(); }, processLimitMs));
        EXPECT_TRUE(WIFEXITED(second.status()) && WEXITSTATUS(second.status()) == 1) << second.status();
        EXPECT_EQ(contents(folder), before);
        EXPECT_FALSE(first.exited());
    }
}

// On a desktop session bus the second start is handed to the first browser,
// as it always was, and writes nothing either.
TEST_F(SecondProcessTest, WithASessionBusTheSecondStartIsHandedToTheFirst) {
    ASSERT_TRUE(display);
    ASSERT_TRUE(g_getenv("DBUS_SESSION_BUS_ADDRESS")) << "run under a session bus (scripts/test)";
    Browser first(home, false, true);
    ASSERT_TRUE(first.started());
    ASSERT_TRUE(isUp(first));
    const auto before = contents(folder);
    Browser second(home, true, true);
    ASSERT_TRUE(runUntil([&] { return second.exited(); }, processLimitMs)) << second.errorOutput();
    EXPECT_TRUE(WIFEXITED(second.status()) && WEXITSTATUS(second.status()) == 0) << second.status();
    EXPECT_TRUE(second.errorOutput().empty()) << second.errorOutput();
    EXPECT_EQ(contents(folder), before);
    EXPECT_FALSE(first.exited());
}

}  // namespace
