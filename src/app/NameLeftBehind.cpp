#include "app/NameLeftBehind.h"

#include "app/BusNameOwnerWatch.h"
#include "app/HolderNote.h"
#include "app/QuitSignals.h"
#include "app/StartRefusal.h"
#include "app/WaitNotice.h"
#include "model/GLibPtr.h"
#include "store/DataFolderLock.h"

namespace quorelle {
namespace {

// How long the name may stay with a browser that no longer holds the folder.
constexpr gint64 nameGoesLimitUs = 60 * G_USEC_PER_SEC;
// How often the wait is looked at again, for what it says and how long it
// lasts: the bus announces the name's changes of owner itself.
constexpr guint lookAgainMs = 100;

// "the ..." or "The ...", as it begins a sentence or not.
std::string previousHolder(const char* the, const std::string& folder, pid_t pid) {
    return std::string(the) + " Quorelle process that used the data folder " + folder + " before (pid " +
           std::to_string(pid) + ")";
}

// Waits on `context`, as `owners` follows the name.
std::optional<int> waitOn(GMainContext* context, BusNameOwnerWatch& owners, DataFolderLock& lock,
                          const std::string& previousNote, QuitSignals& quitSignals) {
    const auto previous = HolderNote::parse(previousNote);
    const std::string& folder = lock.folder();
    WaitNotice notice;
    for (;;) {
        if (quitSignals.received()) {
            lock.leaveNote(previousNote);
            return 0;
        }
        const auto owner = owners.owner();
        if (!owner || !(owner->ended || (previous && owner->pid == previous->pid))) return std::nullopt;
        const std::string holder = previousHolder("the", folder, owner->pid);
        if (notice.waitFor("quorelle: waiting for " + holder + " to give up Quorelle's name on the session bus.",
                           g_get_monotonic_time()) > nameGoesLimitUs) {
            lock.leaveNote(previousNote);
            return StartRefusal::refuse(quitSignals,
                                        "quorelle: " + holder +
                                            " still holds Quorelle's name on the session bus; this one ends without "
                                            "changing the folder.",
                                        "Quorelle is still quitting",
                                        previousHolder("The", folder, owner->pid) +
                                            " has not given up Quorelle's name on the session bus. Start Quorelle "
                                            "again once it has ended.");
        }
        g_main_context_iteration(context, TRUE);
    }
}

}  // namespace

std::optional<int> NameLeftBehind::waitUntilFree(GDBusConnection* bus, const std::string& applicationID,
                                                 DataFolderLock& lock, const std::string& previousNote,
                                                 QuitSignals& quitSignals) {
    // A main context of its own: nothing else of the process runs meanwhile.
    GLibPtr<GMainContext, g_main_context_unref> context(g_main_context_new());
    g_main_context_push_thread_default(context.get());
    GLibPtr<GSource, g_source_unref> ticks(g_timeout_source_new(lookAgainMs));
    g_source_set_callback(ticks.get(), +[](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr, nullptr);
    g_source_attach(ticks.get(), context.get());
    std::optional<int> status;
    {
        BusNameOwnerWatch owners(bus, applicationID);
        // A signal wakes the wait, which then asks for it.
        const QuitSignals::Reaction waking(quitSignals, context.get(), {});
        status = waitOn(context.get(), owners, lock, previousNote, quitSignals);
    }
    g_source_destroy(ticks.get());
    g_main_context_pop_thread_default(context.get());
    return status;
}

}  // namespace quorelle
