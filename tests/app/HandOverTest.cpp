// Starts handed over to the browser that holds the data folder, on session
// buses of the test's own. A start on the holder's bus is handed to it; one
// on another bus is refused at once; starts that meet the holder as it quits
// (held there on purpose: it is stopped while its note says it quits) wait
// for it and one of them becomes the browser; a start waits for a holder
// that is slow to start, is asked again when its call fails, asks the bus
// who owns the name once the holder notes that it runs, never asks a
// name that is not the holder's, waits for a name the last holder left on
// the bus (and ends there when asked to quit), asks the bus nothing while
// nothing changes there, and is handed to a browser from before the
// hand-over method as it was then, at once. A start that waits says what
// for; one kept too long by a browser that quits says so. Where the test
// plays the holder's part itself, it does so through the browser's own
// lock, note and hand-over service. And the hand-over asked of the
// application itself: declined once it quits.
#include "app/AppTestSupport.h"
#include "app/HandOverService.h"
#include "app/HolderNote.h"
#include "app/QuorelleApplication.h"
#include "model/GLibPtr.h"
#include "store/DataFolderLock.h"
#include "support/MainLoopWait.h"
#include "support/PrivateSessionBus.h"
#include "support/ScratchFolder.h"

#include <gio/gio.h>
#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

// Last: it includes the X11 headers, which define short macro names (None,
// Bool, Status).
#include "app/BrowserProcess.h"

namespace {

using quorelle::DataFolderLock;
using quorelle::GObjectPtr;
using quorelle::HandOverService;
using quorelle::HolderNote;
using quorelle::QuorelleApplication;
using quorelle::testing::AppTest;
using quorelle::testing::Browser;
using quorelle::testing::BrowserProcessTest;
using quorelle::testing::coloursIn;
using quorelle::testing::contents;
using quorelle::testing::Launch;
using quorelle::testing::pressQuit;
using quorelle::testing::PrivateSessionBus;
using quorelle::testing::processLimitMs;
using quorelle::testing::runFor;
using quorelle::testing::runUntil;
using quorelle::testing::stateOf;
using quorelle::testing::windowsOf;

using Starts = std::vector<std::unique_ptr<Browser>>;
// How many colours a window shows once its page is drawn.
constexpr std::size_t manyColours = 64;
const std::string applicationID = QuorelleApplication::defaultApplicationID;

// A connection of the test's own to the bus at `address`; nothing when none can be made.
GObjectPtr<GDBusConnection> connectTo(const std::string& address) {
    return GObjectPtr<GDBusConnection>::adopt(g_dbus_connection_new_for_address_sync(
        address.c_str(),
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, nullptr, nullptr));
}

// The test's own connection to one of its buses, through which it plays the
// holder's part there: it owns the application's name and answers the
// starts' hand-over as the browser does (HandOverService), or goes off the
// bus as it is asked, without answering, or has no hand-over on the bus, as
// a browser that has begun to quit has not.
class BusPeer {
public:
    enum class Answer { open, leave, unknown };

    BusPeer(const std::string& address, Answer answer) {
        connection_ = connectTo(address);
        if (!connection_) return;
        if (answer == Answer::unknown) {
            filter_ = g_dbus_connection_add_filter(connection_.get(), &BusPeer::heard, this, nullptr);
            return;
        }
        service_ = std::make_unique<HandOverService>(
            connection_.get(), HandOverService::objectPathOf(applicationID), [this, answer](GVariant*) {
                ++asked_;
                // Its answer then goes nowhere.
                if (answer == Answer::leave) g_dbus_connection_close_sync(connection_.get(), nullptr, nullptr);
                return true;
            });
    }
    ~BusPeer() {
        service_.reset();
        if (connection_ && filter_) g_dbus_connection_remove_filter(connection_.get(), filter_);
        if (connection_) g_dbus_connection_close_sync(connection_.get(), nullptr, nullptr);
    }
    BusPeer(const BusPeer&) = delete;
    BusPeer& operator=(const BusPeer&) = delete;

    // The bus's own id, as a holder notes it.
    std::string busID() const { return connection_ ? g_dbus_connection_get_guid(connection_.get()) : ""; }
    // Takes the application's name; false when it is not this connection's.
    bool own() {
        constexpr guint32 doNotQueue = 4, primaryOwner = 1;
        return nameCall("RequestName", g_variant_new("(su)", applicationID.c_str(), doNotQueue)) == primaryOwner;
    }
    void release() { nameCall("ReleaseName", g_variant_new("(s)", applicationID.c_str())); }
    // How many hand-overs it was asked for.
    int asked() const { return asked_; }
    // How many activations, as a browser from before the hand-over is asked.
    int activated() const { return activated_; }
    // Without a hand-over: what happens as it is asked for one, before the
    // answer that it has none goes back (on the connection's own thread).
    void whenAsked(std::function<void()> act) { whenAsked_ = std::move(act); }

private:
    static GDBusMessage* heard(GDBusConnection*, GDBusMessage* message, gboolean incoming, gpointer data) {
        auto* self = static_cast<BusPeer*>(data);
        if (!incoming || g_dbus_message_get_message_type(message) != G_DBUS_MESSAGE_TYPE_METHOD_CALL) return message;
        const std::string interface = g_dbus_message_get_interface(message) ?: "";
        if (interface == HandOverService::interfaceName) {
            ++self->asked_;
            if (self->whenAsked_) self->whenAsked_();
        } else if (interface == "org.freedesktop.Application") {
            ++self->activated_;
        }
        return message;
    }
    guint32 nameCall(const char* method, GVariant* parameters) {
        if (!connection_) return 0;
        quorelle::GLibPtr<GVariant, g_variant_unref> reply(g_dbus_connection_call_sync(
            connection_.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", method,
            parameters, G_VARIANT_TYPE("(u)"), G_DBUS_CALL_FLAGS_NONE, -1, nullptr, nullptr));
        guint32 result = 0;
        if (reply) g_variant_get(reply.get(), "(u)", &result);
        return result;
    }

    GObjectPtr<GDBusConnection> connection_;
    std::unique_ptr<HandOverService> service_;
    guint filter_ = 0;
    std::function<void()> whenAsked_;
    std::atomic<int> asked_ = 0;
    std::atomic<int> activated_ = 0;
};

// The calls made to the bus daemon itself (who owns a name, which process a
// connection is) from the moment it is made, as a monitor of the bus sees
// them: what waiting starts ask of the bus.
class CallsToTheBus {
public:
    explicit CallsToTheBus(const std::string& address) {
        connection_ = connectTo(address);
        if (!connection_) return;
        filter_ = g_dbus_connection_add_filter(connection_.get(), &CallsToTheBus::heard, this, nullptr);
        const char* rules[] = {"type='method_call',destination='org.freedesktop.DBus'", nullptr};
        quorelle::GLibPtr<GVariant, g_variant_unref> reply(g_dbus_connection_call_sync(
            connection_.get(), "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.Monitoring",
            "BecomeMonitor", g_variant_new("(^asu)", rules, 0u), nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr,
            nullptr));
        watching_ = reply != nullptr;
    }
    ~CallsToTheBus() {
        if (connection_ && filter_) g_dbus_connection_remove_filter(connection_.get(), filter_);
        if (connection_) g_dbus_connection_close_sync(connection_.get(), nullptr, nullptr);
    }
    CallsToTheBus(const CallsToTheBus&) = delete;
    CallsToTheBus& operator=(const CallsToTheBus&) = delete;

    bool watching() const { return watching_; }
    // The first calls seen, by their methods' names.
    std::string seen() const {
        std::lock_guard lock(mutex_);
        return seen_;
    }
    int count() const {
        std::lock_guard lock(mutex_);
        return count_;
    }

private:
    // On the connection's own thread. A monitor only watches: the calls it
    // sees are dropped here, and nothing answers them.
    static GDBusMessage* heard(GDBusConnection*, GDBusMessage* message, gboolean incoming, gpointer data) {
        if (!incoming || g_dbus_message_get_message_type(message) != G_DBUS_MESSAGE_TYPE_METHOD_CALL) return message;
        auto* self = static_cast<CallsToTheBus*>(data);
        if (g_strcmp0(g_dbus_message_get_destination(message), "org.freedesktop.DBus") == 0) {
            std::lock_guard lock(self->mutex_);
            if (++self->count_ <= 10) self->seen_ += std::string(g_dbus_message_get_member(message) ?: "?") + " ";
        }
        g_object_unref(message);
        return nullptr;
    }

    GObjectPtr<GDBusConnection> connection_;
    guint filter_ = 0;
    bool watching_ = false;
    mutable std::mutex mutex_;
    int count_ = 0;
    std::string seen_;
};

class HandOverTest : public BrowserProcessTest {
protected:
    // The holder's note names `browser` at `stage`.
    bool noteSays(Browser& browser, const std::string& stage) const {
        const std::string said = note();
        return said.find("pid=" + std::to_string(browser.pid()) + " ") != std::string::npos &&
               said.find("state=" + stage + "\n") != std::string::npos;
    }
    // The test holds the folder itself, and notes it as a holder at `stage`
    // on `peer`'s bus.
    void holdAs(DataFolderLock& held, const BusPeer& peer, HolderNote::Stage stage) {
        ASSERT_EQ(held.state(), DataFolderLock::State::held);
        held.leaveNote(HolderNote{::getpid(), peer.busID(), stage}.text());
    }
    // Quits `holder` with Ctrl+Q, and stops it (SIGSTOP) as soon as its note
    // says it quits, before it can let go of the folder: its bus stops
    // answering first, so the holder waits there to give up its name, which
    // it does right after it notes that it quits. The bus answers again once
    // the holder has stopped. The holder is up first, its page drawn: its web
    // engine asks the bus things of its own as it starts its first page.
    void stopWhileQuitting(Browser& holder, PrivateSessionBus& bus) {
        ASSERT_TRUE(runUntil([&] {
            const auto shown = windowsOf(display, holder.pid());
            return noteSays(holder, "running") && !shown.empty() && coloursIn(display, shown.front()) > manyColours;
        }, processLimitMs))
            << note();
        bus.pause();
        pressQuit(display, windowsOf(display, holder.pid()).front());
        const bool quitting = runUntil([&] { return noteSays(holder, "quitting") || holder.exited(); }, processLimitMs);
        ::kill(holder.pid(), SIGSTOP);
        bus.resume();
        ASSERT_TRUE(quitting) << note();
        ASSERT_FALSE(holder.exited()) << holder.report();
        ASSERT_TRUE(runUntil([&] { return stateOf(holder.pid()) == 'T'; }, processLimitMs));
    }
    // Every start settled: handed over and ended, or the browser with its
    // window, and at most one of them.
    bool settled(Starts& starts) const {
        std::vector<Browser*> running;
        for (auto& start : starts)
            if (start && !start->exited()) running.push_back(start.get());
        return running.empty() || (running.size() == 1 && !windowsOf(display, running[0]->pid()).empty());
    }
    // Each start's state and what it said, and the holder's note, for a failure's message.
    std::string describe(Starts& starts) const {
        std::string text = "the lock file's note: " + note() + "\n";
        for (auto& start : starts)
            if (start)
                text += start->report() + "  (" + std::to_string(windowsOf(display, start->pid()).size()) +
                    " windows shown)\n";
        return text;
    }
    // The start still running once they settled; nothing when none is.
    static std::unique_ptr<Browser> takeTheRunningOne(Starts& starts) {
        for (auto& start : starts)
            if (!start->exited()) return std::move(start);
        return nullptr;
    }
    // Those that ended were handed over, and said at most what they waited for.
    void expectHandedOver(Starts& starts) {
        for (auto& start : starts) {
            if (!start || !start->exited()) continue;
            EXPECT_TRUE(start->endedWith(0)) << start->report();
            expectOnlyWaitingLines(*start);
        }
    }
};

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
    expectOnlyWaitingLines(second);
    EXPECT_EQ(contents(folder), before);
    EXPECT_FALSE(first.exited());

    // A start on another session bus cannot reach it, and says so at once,
    // without waiting for it.
    PrivateSessionBus otherBus;
    ASSERT_EQ(otherBus.problem(), "");
    Browser third(home, {.readStderr = true, .sessionBus = otherBus.address()});
    expectRefusalSaidAndShown(third, "is using the data folder " + folder);
    EXPECT_FALSE(third.saidSo("waiting for")) << third.errorOutput();
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
        ASSERT_TRUE(runUntil([&] { return noteSays(*holder, "running") && !windowsOf(display, holder->pid()).empty(); },
                             processLimitMs))
            << note();
        const Window window = windowsOf(display, holder->pid()).front();
        Starts starts;
        const auto startFive = [&] {
            for (int i = 0; i < 5; ++i) starts.push_back(std::make_unique<Browser>(home, onBus));
        };
        if (quitFirst) pressQuit(display, window); else startFive();
        runFor(delayMs);  // when the user acts: no state is awaited
        if (quitFirst) startFive(); else pressQuit(display, window);
        ASSERT_TRUE(runUntil([&] { return holder->exited(); }, processLimitMs)) << "the quit was taken back";
        EXPECT_TRUE(holder->endedWith(0)) << holder->report();

        ASSERT_TRUE(runUntil([&] { return settled(starts); }, processLimitMs)) << describe(starts);
        for (auto& start : starts) EXPECT_FALSE(start->refused()) << start->report();
        expectHandedOver(starts);
        auto next = takeTheRunningOne(starts);
        if (quitFirst) {
            ASSERT_TRUE(next) << describe(starts);
        }
        if (!next) {
            holder = std::make_unique<Browser>(home, onBus);
            ASSERT_TRUE(isUp(*holder, false));
            continue;
        }
        EXPECT_EQ(windowsOf(display, next->pid()).size(), 1u);
        holder = std::move(next);
    }
    closeMainWindow(*holder);
}

// Starts that come while the browser quits, held in the middle of its quit:
// stopped once it has noted that it quits, before its last save, it keeps
// the folder for as long as the test likes. Each start waits for it and says
// so, none is refused; once it goes on and ends, one start becomes the
// browser, with one window, and the others are handed to it.
TEST_F(HandOverTest, StartsWhileTheBrowserQuitsWaitForItAndOneOfThemBecomesTheBrowser) {
    ASSERT_TRUE(display);
    PrivateSessionBus bus;
    ASSERT_EQ(bus.problem(), "");
    const Launch onBus{.readStderr = true, .sessionBus = bus.address()};
    Browser holder(home, onBus);
    ASSERT_TRUE(isUp(holder));
    ASSERT_NO_FATAL_FAILURE(stopWhileQuitting(holder, bus));

    Starts starts;
    for (int i = 0; i < 5; ++i) starts.push_back(std::make_unique<Browser>(home, onBus));
    const std::string waits = "quorelle: waiting for the Quorelle process that is quitting (pid " +
                              std::to_string(holder.pid()) + ") to let go of the data folder " + folder + ".\n";
    ASSERT_TRUE(runUntil([&] {
        return std::all_of(starts.begin(), starts.end(), [&](auto& start) { return start->saidSo(waits); }) ||
               std::any_of(starts.begin(), starts.end(),
                           [](auto& start) { return start->exited() || start->refused(); });
    }, processLimitMs))
        << describe(starts);
    for (auto& start : starts) {
        EXPECT_FALSE(start->exited()) << describe(starts);
        EXPECT_FALSE(start->refused()) << describe(starts);
    }

    ::kill(holder.pid(), SIGCONT);
    ASSERT_TRUE(runUntil([&] { return holder.exited(); }, processLimitMs));
    EXPECT_TRUE(holder.endedWith(0)) << holder.report();
    ASSERT_TRUE(runUntil([&] { return settled(starts); }, processLimitMs)) << describe(starts);
    expectHandedOver(starts);
    auto browser = takeTheRunningOne(starts);
    ASSERT_TRUE(browser) << describe(starts);
    EXPECT_EQ(windowsOf(display, browser->pid()).size(), 1u);
    closeMainWindow(*browser);
}

// A browser kept quitting for a minute (its last save hangs, say): a start
// that waited for it all that while says that it is still quitting, on
// stderr and in its dialog, and ends having written nothing.
TEST_F(HandOverTest, AStartABrowserKeepsWaitingAsItQuitsSaysSoAfterAMinuteAndEnds) {
    ASSERT_TRUE(display);
    PrivateSessionBus bus;
    ASSERT_EQ(bus.problem(), "");
    BusPeer peer(bus.address(), BusPeer::Answer::open);
    DataFolderLock held(folder);
    ASSERT_NO_FATAL_FAILURE(holdAs(held, peer, HolderNote::Stage::quitting));
    const auto before = contents(folder);
    Browser start(home, {.readStderr = true, .sessionBus = bus.address()});
    const std::string holder = "the Quorelle process that is quitting (pid " + std::to_string(::getpid()) + ")";
    expectRefusalSaidAndShown(start,
                              "quorelle: " + holder + " has not let go of the data folder " + folder +
                                  " after a minute; this one ends without changing it.\n",
                              quorelle::testing::CloseBy::windowManager, 90000);
    EXPECT_TRUE(start.saidSo("quorelle: waiting for " + holder + " to let go of the data folder " + folder + ".\n"))
        << start.errorOutput();
    EXPECT_FALSE(start.saidSo("another Quorelle process")) << start.errorOutput();
    EXPECT_EQ(peer.asked(), 0);
    EXPECT_EQ(contents(folder), before);
}

// A browser that quits takes its hand-over off the bus, and answers a call
// that reached it just before as a browser from before the hand-over does.
// The start does not take it for one (it would activate a browser that is
// going, or be refused once its name has gone): it waits for the folder and
// becomes the browser once it is let go. A holder whose note says it is
// starting and that answers so is no browser from before the hand-over
// either: the answer counts as any failed call, and after three the start
// is refused, never asking it again and again.
TEST_F(HandOverTest, AStartWhoseCallMeetsTheBrowserAsItQuitsWaitsForTheFolder) {
    ASSERT_TRUE(display);
    PrivateSessionBus bus;
    ASSERT_EQ(bus.problem(), "");
    BusPeer peer(bus.address(), BusPeer::Answer::unknown);
    auto held = std::make_unique<DataFolderLock>(folder);
    ASSERT_NO_FATAL_FAILURE(holdAs(*held, peer, HolderNote::Stage::starting));
    ASSERT_TRUE(peer.own());
    {
        SCOPED_TRACE("a holder that is starting");
        Browser start(home, {.readStderr = true, .sessionBus = bus.address()});
        expectRefusalSaidAndShown(start, "another Quorelle process is using the data folder " + folder);
        EXPECT_EQ(peer.asked(), 3);
        EXPECT_EQ(peer.activated(), 0);
    }

    ASSERT_NO_FATAL_FAILURE(holdAs(*held, peer, HolderNote::Stage::running));
    // As it is asked, it has noted that it quits.
    peer.whenAsked([&] { held->leaveNote(HolderNote{::getpid(), peer.busID(), HolderNote::Stage::quitting}.text()); });
    const int askedBefore = peer.asked();
    Browser start(home, {.readStderr = true, .sessionBus = bus.address()});
    const std::string waits = "quorelle: waiting for the Quorelle process that is quitting (pid " +
                              std::to_string(::getpid()) + ") to let go of the data folder " + folder + ".\n";
    ASSERT_TRUE(runUntil([&] { return start.saidSo(waits) || start.exited() || start.refused(); }, processLimitMs))
        << start.report();
    EXPECT_FALSE(start.exited()) << start.report();
    EXPECT_FALSE(start.refused()) << start.report();
    EXPECT_EQ(peer.asked() - askedBefore, 1);
    EXPECT_EQ(peer.activated(), 0);

    peer.release();
    held.reset();
    ASSERT_TRUE(isUp(start));
    EXPECT_EQ(windowsOf(display, start.pid()).size(), 1u);
    closeMainWindow(start);
    expectOnlyWaitingLines(start);
}

// A holder still starting, on the test's bus. A start on another bus cannot
// reach it and says so at once. One on its bus waits for it, and says so,
// for as long as a busy machine keeps it starting (longer than ten seconds
// here); when its call finds the holder gone off the bus, it does not take
// that for a refusal, and asks again once the holder is back there.
TEST_F(HandOverTest, AStartWaitsForABrowserStillStartingOnItsBusAndIsRefusedAtOnceFromAnother) {
    ASSERT_TRUE(display);
    PrivateSessionBus bus, otherBus;
    ASSERT_EQ(bus.problem(), "");
    ASSERT_EQ(otherBus.problem(), "");
    auto peer = std::make_unique<BusPeer>(bus.address(), BusPeer::Answer::leave);
    DataFolderLock held(folder);
    ASSERT_NO_FATAL_FAILURE(holdAs(held, *peer, HolderNote::Stage::starting));
    const auto before = contents(folder);
    {
        SCOPED_TRACE("a start on another bus");
        Browser elsewhere(home, {.readStderr = true, .sessionBus = otherBus.address()});
        expectRefusalSaidAndShown(elsewhere, "another Quorelle process is using the data folder " + folder);
        EXPECT_FALSE(elsewhere.saidSo("waiting for")) << elsewhere.errorOutput();
    }

    Browser start(home, {.readStderr = true, .sessionBus = bus.address()});
    ASSERT_TRUE(runUntil([&] {
        return start.saidSo("quorelle: waiting for the Quorelle process that is starting (pid " +
                            std::to_string(::getpid()) + ") on the data folder " + folder +
                            " to answer on the session bus.\n") ||
               start.exited();
    }, processLimitMs))
        << start.report();
    // Nothing changes on the bus meanwhile, and the start asks it nothing.
    CallsToTheBus calls(bus.address());
    ASSERT_TRUE(calls.watching());
    runFor(10000);  // how long the holder stays starting: no state is awaited
    ASSERT_FALSE(start.exited() || start.refused()) << start.report();
    EXPECT_EQ(calls.count(), 0) << calls.seen();

    ASSERT_TRUE(peer->own());
    ASSERT_TRUE(runUntil([&] { return peer->asked() == 1 || start.exited(); }, processLimitMs));
    peer = std::make_unique<BusPeer>(bus.address(), BusPeer::Answer::open);
    ASSERT_TRUE(peer->own());
    ASSERT_TRUE(runUntil([&] { return start.exited(); }, processLimitMs)) << start.report();
    EXPECT_TRUE(start.endedWith(0)) << start.report();
    EXPECT_EQ(peer->asked(), 1);
    expectOnlyWaitingLines(start);
    EXPECT_EQ(contents(folder), before);
}

// A holder owns its name on the bus before it notes that it runs, and the
// bus's word of that travels on its own and may come later: a start can read
// that the holder runs while the last it heard is that no one owns the name.
// Here that word never comes (the bus tells no one that a name changed
// hands), and the start found no owner as it waited for the holder to start:
// it asks the bus again, is handed over and ends, instead of taking the
// holder for one that runs without its name.
TEST_F(HandOverTest, AStartThatReadsThatTheHolderRunsAsksTheBusWhoOwnsItsNameAndIsHandedOver) {
    ASSERT_TRUE(display);
    PrivateSessionBus bus(PrivateSessionBus::SilentOnNameChanges{});
    ASSERT_EQ(bus.problem(), "");
    BusPeer peer(bus.address(), BusPeer::Answer::open);
    DataFolderLock held(folder);
    ASSERT_NO_FATAL_FAILURE(holdAs(held, peer, HolderNote::Stage::starting));
    auto before = contents(folder);
    Browser start(home, {.readStderr = true, .sessionBus = bus.address()});
    ASSERT_TRUE(runUntil([&] {
        return start.saidSo("quorelle: waiting for the Quorelle process that is starting (pid " +
                            std::to_string(::getpid()) + ")") ||
               start.exited();
    }, processLimitMs))
        << start.report();
    ASSERT_FALSE(start.exited()) << start.report();

    ASSERT_TRUE(peer.own());
    ASSERT_NO_FATAL_FAILURE(holdAs(held, peer, HolderNote::Stage::running));
    before[folder + "/.lock"] = note();
    ASSERT_TRUE(runUntil([&] { return start.exited() || start.refused(); }, processLimitMs)) << start.report();
    EXPECT_TRUE(start.endedWith(0)) << start.report();
    EXPECT_EQ(peer.asked(), 1);
    expectOnlyWaitingLines(start);
    EXPECT_EQ(contents(folder), before);
}

// A browser killed while it holds the folder lets go of it at once, but the
// bus drops its name only once it notices. The start that takes the folder
// meanwhile waits for the name (it would otherwise register as that gone
// browser's remote and end), and a start behind it asks nothing of a name
// that is not its holder's. Once the name is free, the first becomes the
// browser and the other is handed to it. A start asked to quit as it waits
// for the name ends there, status 0, the folder and its note left as the
// killed browser left them.
TEST_F(HandOverTest, ANameTheLastBrowserLeftOnTheBusIsWaitedForAndNeverAsked) {
    ASSERT_TRUE(display);
    PrivateSessionBus bus;
    ASSERT_EQ(bus.problem(), "");
    const Launch onBus{.readStderr = true, .sessionBus = bus.address()};
    BusPeer killed(bus.address(), BusPeer::Answer::open);
    {
        DataFolderLock held(folder);
        ASSERT_NO_FATAL_FAILURE(holdAs(held, killed, HolderNote::Stage::running));
        ASSERT_TRUE(killed.own());
    }
    const auto waitsForTheName = [&](Browser& start) {
        return runUntil([&] {
            return start.saidSo("quorelle: waiting for the Quorelle process that used the data folder " + folder +
                                " before (pid " + std::to_string(::getpid()) +
                                ") to give up Quorelle's name on the session bus.\n") ||
                   start.exited();
        }, processLimitMs) && !start.exited();
    };
    {
        SCOPED_TRACE("a start asked to quit as it waits for the name");
        const auto before = contents(folder);
        Browser quit(home, onBus);
        ASSERT_TRUE(waitsForTheName(quit)) << quit.report();
        ::kill(quit.pid(), SIGTERM);
        ASSERT_TRUE(runUntil([&] { return quit.exited(); }, processLimitMs)) << quit.report();
        EXPECT_TRUE(quit.endedWith(0)) << quit.report();
        expectOnlyWaitingLines(quit);
        EXPECT_EQ(contents(folder), before);
    }
    Browser next(home, onBus);
    ASSERT_TRUE(waitsForTheName(next)) << next.report();
    EXPECT_TRUE(windowsOf(display, next.pid()).empty());
    Browser behind(home, onBus);
    ASSERT_TRUE(runUntil([&] {
        return behind.saidSo("waiting for the Quorelle process that is starting (pid " + std::to_string(next.pid()) +
                             ")") ||
               behind.exited();
    }, processLimitMs))
        << behind.report() << "\n" << note();
    // Nothing changes on the bus meanwhile, and neither start asks it anything.
    CallsToTheBus calls(bus.address());
    ASSERT_TRUE(calls.watching());
    runFor(3000);  // how long the name stays left behind: no state is awaited
    EXPECT_EQ(calls.count(), 0) << calls.seen();
    EXPECT_EQ(killed.asked(), 0);

    killed.release();
    ASSERT_TRUE(isUp(next));
    ASSERT_TRUE(runUntil([&] { return behind.exited(); }, processLimitMs)) << behind.report();
    EXPECT_TRUE(behind.endedWith(0)) << behind.report();
    expectOnlyWaitingLines(behind);
    EXPECT_EQ(killed.asked(), 0);
    EXPECT_EQ(windowsOf(display, next.pid()).size(), 1u);
    closeMainWindow(next);
    expectOnlyWaitingLines(next);
}

// A browser from before the hand-over method (still running while its
// package is upgraded) does not know it: the start activates it as starts
// did then, at once, and ends, having written nothing. At once: without
// waiting for anything long enough to say so (a start says what it waits
// for after two seconds, far from the shortest of its limits), so without
// asking it again, waiting for it to appear or for its answer to time out.
TEST_F(HandOverTest, ABrowserFromBeforeTheHandOverMethodIsActivatedAsItWasThen) {
    ASSERT_TRUE(display);
    PrivateSessionBus bus;
    ASSERT_EQ(bus.problem(), "");
    Browser earlier(home, {.readStderr = true,
                           .sessionBus = bus.address(),
                           .arguments = {folder},
                           .program = QUORELLE_EARLIER_BROWSER});
    ASSERT_TRUE(runUntil([&] { return earlier.saidSo("activated\n") || earlier.exited(); }, processLimitMs))
        << earlier.report();
    ASSERT_FALSE(earlier.exited()) << earlier.report();
    const auto before = contents(folder);
    Browser start(home, {.readStderr = true, .sessionBus = bus.address()});
    ASSERT_TRUE(runUntil([&] { return start.exited(); }, processLimitMs)) << start.report();
    EXPECT_TRUE(start.endedWith(0)) << start.report();
    EXPECT_EQ(start.errorOutput(), "");
    EXPECT_EQ(earlier.errorOutput(), "activated\nactivated\n");
    EXPECT_EQ(contents(folder), before);
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
        Starts starts;
        for (int i = 0; i < 10; ++i)
            starts.push_back(std::make_unique<Browser>(home, Launch{.readStderr = true, .sessionBus = bus.address()}));
        const auto refused = [&] {
            return std::any_of(starts.begin(), starts.end(), [](auto& start) { return start->refused(); });
        };
        ASSERT_TRUE(runUntil([&] { return settled(starts) || refused(); }, processLimitMs)) << describe(starts);
        ASSERT_FALSE(refused()) << describe(starts);
        ASSERT_TRUE(settled(starts)) << describe(starts);
        expectHandedOver(starts);
        auto holder = takeTheRunningOne(starts);
        ASSERT_TRUE(holder) << describe(starts);
        ASSERT_TRUE(isUp(*holder, round == 1));
        EXPECT_EQ(windowsOf(display, holder->pid()).size(), 1u);
        closeMainWindow(*holder);
        EXPECT_EQ(holder->errorOutput(), "");
    }
}

// The hand-over on the application itself, asked as a start asks it over the
// session bus: a running browser takes it and shows its window; one that has
// begun to quit declines it, and its window stays closed.
class QuittingBrowserTest : public AppTest {
protected:
    // The answer, or nothing when the call failed.
    std::optional<bool> handOver() {
        struct Answer {
            bool arrived = false;
            std::optional<bool> opened;
        } answer;
        GDBusConnection* connection = app->get_dbus_connection()->gobj();
        g_dbus_connection_call(
            connection, g_dbus_connection_get_unique_name(connection), app->get_dbus_object_path().c_str(),
            HandOverService::interfaceName, HandOverService::methodName,
            g_variant_new("(@a{sv})", g_variant_new_array(G_VARIANT_TYPE("{sv}"), nullptr, 0)), G_VARIANT_TYPE("(b)"),
            G_DBUS_CALL_FLAGS_NONE, -1, nullptr,
            +[](GObject* bus, GAsyncResult* result, gpointer data) {
                auto& answer = *static_cast<Answer*>(data);
                if (GVariant* reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(bus), result, nullptr)) {
                    gboolean opened = FALSE;
                    g_variant_get(reply, "(b)", &opened);
                    answer.opened = opened;
                    g_variant_unref(reply);
                }
                answer.arrived = true;
            },
            &answer);
        runUntil([&] { return answer.arrived; });
        return answer.opened;
    }
};

TEST_F(QuittingBrowserTest, AQuittingBrowserDeclinesAHandOverAndItsWindowStaysClosed) {
    EXPECT_EQ(handOver(), true);
    EXPECT_TRUE(mainWindow().get_visible());
    mainWindow().close();
    settle();
    ASSERT_FALSE(mainWindow().get_visible());
    EXPECT_EQ(handOver(), false);
    settle();
    EXPECT_FALSE(mainWindow().get_visible());
}

}  // namespace
