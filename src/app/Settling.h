#pragma once

#include "app/BusNameOwnerWatch.h"
#include "app/WaitNotice.h"
#include "model/GLibPtr.h"

#include <gio/gio.h>
#include <sys/types.h>

#include <optional>
#include <string>

namespace quorelle {

class DataFolderLock;
class QuitSignals;

// One start facing a data folder another process holds, on a main context
// of its own (nothing else of the process runs meanwhile). Every few
// milliseconds it looks at the lock, at the holder's note (HolderNote) and
// at which process owns the application's name on the session bus (as the
// bus announces it: BusNameOwnerWatch), and waits for whichever comes first:
// - the folder: it is this start's as soon as the holder lets go of it;
// - the holder's own name on the start's bus: the holder is asked to take
//   the start (HandOverService), and a browser from before that method, which
//   does not know it, is activated as it was then (org.freedesktop.Application);
//   a browser that quits does not know it either once it has taken its
//   objects off the bus, and its note tells it apart.
// A holder that is starting is waited for until it owns its name, one that
// is quitting (or has declined the start, as it does once it has begun to
// quit) until it lets go of the folder. A name owned by any other process
// (one the bus has not yet seen end) is not the holder's, and nothing is
// asked of it. What the start waits for is said on stderr once it has waited
// a while (WaitNotice). It is refused when the holder cannot be reached
// (another session bus, none, a running holder without its name, a call that
// keeps failing, one that does not know the hand-over and does not run
// either), does not answer, or stays starting or quitting too long. A quit
// signal (QuitSignals) ends the wait, and the start with it.
class Settling {
public:
    enum class Outcome { held, handedOver, refused, quitAsked };
    enum class Refusal { unreachable, stillStarting, stillQuitting, noAnswer };
    struct Result {
        Outcome outcome = Outcome::refused;
        Refusal refusal = Refusal::unreachable;
        // The holder it was refused for; 0 when it left no note.
        pid_t holder = 0;
    };

    Settling(DataFolderLock& lock, std::string applicationID, QuitSignals& quitSignals);
    Settling(const Settling&) = delete;
    Settling& operator=(const Settling&) = delete;

    Result run();

private:
    enum class Wait { quitting, starting, appearing, answer };
    enum class Method { open, activate };
    // The holder a call was made to: an answer for an earlier holder counts
    // for nothing.
    struct Call {
        Settling* self;
        pid_t holder;
        Method method;
    };

    void look();
    void waitFor(Wait what);
    std::string waitingLine(Wait what) const;
    void call(Method method);
    static void answered(GObject* bus, GAsyncResult* result, gpointer data);
    void takeAnswer(const Call& call, GVariant* reply, const GError* error);
    bool stillRunning(pid_t holder) const;
    void end(Outcome outcome);
    void refuse(Refusal refusal);
    void endCall();

    DataFolderLock& lock_;
    std::string applicationID_;
    QuitSignals& quitSignals_;
    GLibPtr<GMainContext, g_main_context_unref> context_;
    GObjectPtr<GDBusConnection> bus_;
    std::string busID_;
    // While it runs, on its context.
    std::optional<BusNameOwnerWatch> owners_;
    bool calling_ = false;
    GObjectPtr<GCancellable> cancellable_;
    pid_t holder_ = 0;
    bool declined_ = false;
    int failedCalls_ = 0;
    WaitNotice notice_;
    bool done_ = false;
    Result result_;
};

}  // namespace quorelle
