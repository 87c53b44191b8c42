// Starts handed over to the browser that holds the data folder, on session
// buses of the test's own: a start on the holder's bus is handed to it, one on
// another bus is refused at once, starts that meet the holder as it quits
// leave one browser, and ten starts at once open one window.
#include "support/MainLoopWait.h"
#include "support/PrivateSessionBus.h"
#include "support/ScratchFolder.h"

#include <gio/gio.h>
#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

// Last: it includes the X11 headers, which define short macro names (None,
// Bool, Status).
#include "app/BrowserProcess.h"

namespace {

using quorelle::testing::Browser;
using quorelle::testing::BrowserProcessTest;
using quorelle::testing::contents;
using quorelle::testing::Launch;
using quorelle::testing::pressQuit;
using quorelle::testing::PrivateSessionBus;
using quorelle::testing::processLimitMs;
using quorelle::testing::runFor;
using quorelle::testing::runUntil;
using quorelle::testing::ScratchFolder;
using quorelle::testing::windowsOf;

class HandOverTest : public BrowserProcessTest {};

// On a desktop session bus the second start is handed to the first browser,
// as it always was, and writes nothing either.
TEST_F(HandOverTest, WithASessionBusTheSecondStartIsHandedToTheFirst) {
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
TEST_F(HandOverTest, StartsThatMeetAQuittingBrowserLeaveOneBrowserAndAreNeverRefused) {
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
TEST_F(HandOverTest, TenStartsAtOnceOnOneBusOpenOneWindow) {
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

}  // namespace
