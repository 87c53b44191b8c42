// The main window's size, kept from one run to the next by a real browser
// process, however it quits: by its window, or by the quit signals, both at
// once.
#include "support/MainLoopWait.h"
#include "support/ScratchFolder.h"
#include "unit/DataStoreTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

// Last: it includes the X11 headers, which define short macro names (None,
// Bool, Status).
#include "app/BrowserProcess.h"

namespace {

using quorelle::testing::Browser;
using quorelle::testing::BrowserProcessTest;
using quorelle::testing::includes;
using quorelle::testing::Launch;
using quorelle::testing::processLimitMs;
using quorelle::testing::quitSignalsLeftToDefault;
using quorelle::testing::runUntil;
using quorelle::testing::ScratchFolder;
using quorelle::testing::signalsOf;
using quorelle::testing::windowsOf;

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

class WindowSizeTest : public BrowserProcessTest {};

// The main window comes back at the size it was left at, maximised or not,
// also when the browser was ended by the end of the user's session (SIGTERM)
// or of its terminal (SIGHUP), which quit it as Ctrl+Q does; a damaged size
// file gives the default size and is set aside. The end of a session may
// send both, back to back, in either order: the second finds the quit under
// way, and never ends the browser by its default action (status 143 or 129,
// the size lost), to which the browser has left neither when it ends (as
// /proc tells of a process that has ended until it is waited for). Started
// under nohup, the browser leaves SIGHUP ignored and runs on after one;
// SIGTERM, twice, then quits it.
TEST_F(WindowSizeTest, TheMainWindowComesBackAtTheSizeItWasLeftAt) {
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
    // As a window manager resizes it; the toolkit has taken the new size
    // when it marks the new area opaque.
    const auto resize = [&](Window window, int width, int height) {
        XResizeWindow(display, window, width, height);
        XFlush(display);
        return runUntil([&] {
            return property(display, window, "_NET_WM_OPAQUE_REGION", XA_CARDINAL) ==
                   std::vector<unsigned long>{0, 0, static_cast<unsigned long>(width),
                                              static_cast<unsigned long>(height)};
        }, processLimitMs);
    };
    const auto sizeSaved = [](int width, int height) {
        return "{\n  \"height\": " + std::to_string(height) + ",\n  \"maximized\": false,\n  \"width\": " +
               std::to_string(width) + "\n}";
    };
    {
        Browser browser(home);
        const Window window = mainWindow(browser);
        ASSERT_TRUE(window);
        EXPECT_EQ(sizeOf(window), std::pair(1200, 800));
        ASSERT_TRUE(resize(window, 1000, 700));
        closeMainWindow(browser);
    }
    EXPECT_EQ(ScratchFolder::read(sizeFile), sizeSaved(1000, 700));
    std::pair<int, int> left{1000, 700};
    struct Ending {
        const char* how;
        bool underNohup;
        std::vector<int> signals;
        std::pair<int, int> size;
    };
    const Ending endings[] = {{"SIGTERM, then SIGHUP", false, {SIGTERM, SIGHUP}, {900, 650}},
                              {"SIGHUP, then SIGTERM", false, {SIGHUP, SIGTERM}, {1100, 750}},
                              {"under nohup: SIGHUP, then SIGTERM twice", true, {SIGTERM, SIGTERM}, {950, 700}}};
    for (const auto& ending : endings) {
        SCOPED_TRACE(ending.how);
        Browser browser(home, {.readStderr = true, .hangUpIgnored = ending.underNohup});
        const Window window = mainWindow(browser);
        ASSERT_TRUE(window);
        EXPECT_EQ(sizeOf(window), left);
        if (ending.underNohup) {
            EXPECT_TRUE(includes(signalsOf(browser.pid(), "SigIgn:"), SIGHUP));
            EXPECT_FALSE(includes(signalsOf(browser.pid(), "SigCgt:"), SIGHUP));
            ::kill(browser.pid(), SIGHUP);
        }
        // Taken after the SIGHUP under nohup: the browser runs on.
        ASSERT_TRUE(resize(window, ending.size.first, ending.size.second));
        for (int signal : ending.signals) ::kill(browser.pid(), signal);
        ASSERT_TRUE(runUntil([&] { return browser.ended(); }, processLimitMs)) << browser.report();
        EXPECT_EQ(quitSignalsLeftToDefault(browser.pid()), "") << "left to their default action at its end";
        ASSERT_TRUE(browser.exited());
        EXPECT_TRUE(browser.endedWith(0)) << browser.report();
        expectOnlyItsOwnLines(browser);
        EXPECT_EQ(ScratchFolder::read(sizeFile), sizeSaved(ending.size.first, ending.size.second));
        left = ending.size;
    }
    {
        Browser browser(home);
        const Window window = mainWindow(browser);
        ASSERT_TRUE(window);
        EXPECT_EQ(sizeOf(window), left);
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
