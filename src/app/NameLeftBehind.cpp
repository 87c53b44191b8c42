#include "app/NameLeftBehind.h"

#include "app/BusNameOwner.h"
#include "app/HolderNote.h"
#include "app/StartRefusal.h"
#include "app/WaitNotice.h"
#include "store/DataFolderLock.h"

namespace quorelle {
namespace {

// How long the name may stay with a browser that no longer holds the folder.
constexpr gint64 nameGoesLimitUs = 60 * G_USEC_PER_SEC;
// How often the bus is asked again.
constexpr gulong askAgainUs = 20000;

// "the ..." or "The ...", as it begins a sentence or not.
std::string previousHolder(const char* the, const std::string& folder, pid_t pid) {
    return std::string(the) + " Quorelle process that used the data folder " + folder + " before (pid " +
           std::to_string(pid) + ")";
}

}  // namespace

std::optional<int> NameLeftBehind::waitUntilFree(GDBusConnection* bus, const std::string& applicationID,
                                                 DataFolderLock& lock, const std::string& previousNote) {
    const auto previous = HolderNote::parse(previousNote);
    const std::string& folder = lock.folder();
    WaitNotice notice;
    for (;;) {
        const auto owner = BusNameOwner::of(bus, applicationID);
        if (!owner || !(owner->ended || (previous && owner->pid == previous->pid))) return std::nullopt;
        const std::string holder = previousHolder("the", folder, owner->pid);
        if (notice.waitFor("quorelle: waiting for " + holder + " to give up Quorelle's name on the session bus.",
                           g_get_monotonic_time()) > nameGoesLimitUs) {
            lock.leaveNote(previousNote);
            return StartRefusal::refuse("quorelle: " + holder +
                                            " still holds Quorelle's name on the session bus; this one ends without "
                                            "changing the folder.",
                                        "Quorelle is still quitting",
                                        previousHolder("The", folder, owner->pid) +
                                            " has not given up Quorelle's name on the session bus. Start Quorelle "
                                            "again once it has ended.");
        }
        g_usleep(askAgainUs);
    }
}

}  // namespace quorelle
