// The signals that ask the browser to quit, SIGTERM and SIGHUP. Caught in the
// test's own process as main catches them: a stage that begins to react after
// one came takes it on its context's next turn, one that comes while it
// reacts as it comes, and once the catching ends (main returns) neither is
// left to its default action, which would end the process. And real starts
// asked to quit before their window shows. (A browser ended by both at once,
// or started under nohup: SecondProcessTest, with the window's size.)
#include "app/HolderNote.h"
#include "app/QuitSignals.h"
#include "model/GLibPtr.h"
#include "store/DataFolderLock.h"
#include "support/BusRelay.h"
#include "support/MainLoopWait.h"
#include "support/PrivateSessionBus.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <optional>
#include <string>
#include <unistd.h>

// Last: it includes the X11 headers, which define short macro names (None,
// Bool, Status).
#include "app/BrowserProcess.h"

namespace quorelle::testing {
namespace {

bool ignored(int signal) {
    struct sigaction action {};
    return ::sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN;
}

// The test process takes both signals as it did before, after the case.
class QuitSignalsTest : public ::testing::Test {
protected:
    QuitSignalsTest() {
        ::sigaction(SIGTERM, nullptr, &term_);
        ::sigaction(SIGHUP, nullptr, &hangUp_);
    }
    ~QuitSignalsTest() override {
        ::sigaction(SIGTERM, &term_, nullptr);
        ::sigaction(SIGHUP, &hangUp_, nullptr);
    }

private:
    struct sigaction term_ {};
    struct sigaction hangUp_ {};
};

TEST_F(QuitSignalsTest, AStageTakesASignalThatCameBeforeItReactedAndEachOneAfter) {
    {
        QuitSignals quitSignals;
        EXPECT_FALSE(quitSignals.received());
        std::raise(SIGTERM);
        ASSERT_TRUE(runUntil([&] { return quitSignals.received(); }));
        GLibPtr<GMainContext, g_main_context_unref> context(g_main_context_new());
        int taken = 0;
        const QuitSignals::Reaction reaction(quitSignals, context.get(), [&] { ++taken; });
        EXPECT_EQ(taken, 0);
        g_main_context_iteration(context.get(), FALSE);
        EXPECT_EQ(taken, 1);
        std::raise(SIGHUP);
        EXPECT_TRUE(runUntil([&] {
            g_main_context_iteration(context.get(), FALSE);
            return taken == 2;
        }));
    }
    EXPECT_TRUE(ignored(SIGTERM));
    EXPECT_TRUE(ignored(SIGHUP));
}

using QuitSignalsStartTest = BrowserProcessTest;

// A start catches SIGTERM and SIGHUP the first thing it does. From then to
// the moment its application takes them over, one that comes at once, as
// the start looks for the session bus (before it makes its data folder), or
// as it waits for the browser that holds its data folder to quit, ends it
// there, status 0, having shown no window and changed nothing; one that
// comes as a start that cannot go on shows why closes that dialog, status 1;
// and one that comes as its application registers on the bus, before it
// activates, ends it without its window ever shown (which would have kept
// its size as it closed). Until the application had started, either ended
// the process by its default action instead (status 143 or 129). On the
// bus, the test holds the start where it is (its bus answers nothing, or not
// the registration yet) until it has taken the signal.
TEST_F(QuitSignalsStartTest, AStartAskedToQuitBeforeItsWindowShowsEndsThere) {
    ASSERT_TRUE(display);
    // SIGTERM to a start held where it is, taken there.
    const auto takesQuitSignal = [](Browser& browser) {
        ::kill(browser.pid(), SIGTERM);
        return runUntil([&] { return signalTaken(browser.pid(), SIGTERM) || browser.ended(); }, processLimitMs) &&
               !browser.ended();
    };
    const auto expectEndsThere = [&](Browser& browser) {
        ASSERT_TRUE(runUntil([&] { return browser.exited(); }, processLimitMs)) << browser.report();
        EXPECT_TRUE(browser.endedWith(0)) << browser.report();
        expectOnlyItsOwnLines(browser);
    };
    {
        SCOPED_TRACE("SIGTERM as it looks for the session bus");
        // The bus answers nothing until the address closes.
        BusRelay bus;
        Browser browser(home, {.readStderr = true,
                               .environment = {{"GTK_A11Y", std::nullopt},
                                               {"DBUS_SESSION_BUS_ADDRESS", bus.address()}}});
        ASSERT_TRUE(runUntil([&] { return bus.connectionWaiting() || browser.exited(); }, processLimitMs))
            << browser.report();
        ASSERT_TRUE(takesQuitSignal(browser)) << browser.report();
        bus.close();
        expectEndsThere(browser);
        EXPECT_FALSE(std::filesystem::exists(folder));
    }
    {
        SCOPED_TRACE("SIGTERM as its application registers on the session bus");
        PrivateSessionBus bus;
        ASSERT_EQ(bus.problem(), "");
        BusRelay relay(bus.address());
        relay.holdFrom("RequestName");
        Browser browser(home, {.readStderr = true, .sessionBus = relay.address()});
        ASSERT_TRUE(runUntil([&] { return relay.holding() || browser.exited(); }, processLimitMs)) << browser.report();
        ASSERT_TRUE(takesQuitSignal(browser)) << browser.report();
        relay.release();
        expectEndsThere(browser);
        EXPECT_FALSE(std::filesystem::exists(folder + "/windowSize.json"));
    }
    // The test holds the folder as a browser that is quitting: a start waits
    // for it to let go.
    DataFolderLock held(folder);
    ASSERT_EQ(held.state(), DataFolderLock::State::held);
    const auto holderAt = [](HolderNote::Stage stage) { return HolderNote{::getpid(), std::nullopt, stage}.text(); };
    held.leaveNote(holderAt(HolderNote::Stage::quitting));
    auto before = contents(folder);
    const auto saysWhileRunning = [](Browser& browser, const std::string& text) {
        return runUntil([&] { return browser.saidSo(text) || browser.exited(); }, processLimitMs) &&
               !browser.exited();
    };
    const auto expectEndsBy = [&](Browser& browser, int signal, int status) {
        ::kill(browser.pid(), signal);
        ASSERT_TRUE(runUntil([&] { return browser.exited(); }, processLimitMs)) << browser.report();
        EXPECT_TRUE(browser.endedWith(status)) << browser.report();
        expectOnlyItsOwnLines(browser);
        EXPECT_EQ(contents(folder), before);
    };
    {
        SCOPED_TRACE("SIGTERM as soon as it is caught");
        Browser browser(home, {.readStderr = true});
        ASSERT_TRUE(browser.started());
        // At the latest once it says it waits.
        ASSERT_TRUE(runUntil([&] {
            return browser.exited() || quitSignalsLeftToDefault(browser.pid()).empty() ||
                   browser.saidSo("quorelle: waiting for ");
        }, processLimitMs));
        ASSERT_EQ(quitSignalsLeftToDefault(browser.pid()), "") << browser.report();
        expectEndsBy(browser, SIGTERM, 0);
    }
    {
        SCOPED_TRACE("SIGHUP as it waits for the browser that quits");
        Browser browser(home, {.readStderr = true});
        ASSERT_TRUE(saysWhileRunning(browser, "quorelle: waiting for the Quorelle process that is quitting (pid " +
                                                  std::to_string(::getpid()) + ") to let go of the data folder " +
                                                  folder + ".\n"))
            << browser.report();
        expectEndsBy(browser, SIGHUP, 0);
    }
    SCOPED_TRACE("SIGTERM as it shows why it cannot go on");
    // A browser that runs, out of reach without a session bus: the start is refused.
    held.leaveNote(holderAt(HolderNote::Stage::running));
    before = contents(folder);
    Browser browser(home, {.readStderr = true});
    ASSERT_TRUE(saysWhileRunning(browser, "is using the data folder " + folder)) << browser.report();
    ASSERT_TRUE(runUntil([&] {
        const auto shown = windowsOf(display, browser.pid());
        return browser.exited() || (!shown.empty() && coloursIn(display, shown.front()) > 2);
    }, processLimitMs))
        << browser.report();
    expectEndsBy(browser, SIGTERM, 1);
}

}  // namespace
}  // namespace quorelle::testing
