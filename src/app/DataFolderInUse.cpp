#include "app/DataFolderInUse.h"

#include "app/Settling.h"
#include "app/StartRefusal.h"
#include "store/DataFolderLock.h"

namespace quorelle {
namespace {

// " cannot be made", " cannot be opened" or " cannot be locked".
std::string cannotBe(const DataFolderLock& lock) {
    switch (lock.failedStep()) {
        case DataFolderLock::Step::make:
            return " cannot be made";
        case DataFolderLock::Step::open:
            return " cannot be opened";
        case DataFolderLock::Step::lock:
            break;
    }
    return " cannot be locked";
}

// Says why the start ends, for the reason it was refused; the process's
// exit status.
int refuse(const Settling::Result& settled, const std::string& folder, QuitSignals& quitSignals) {
    const std::string pid = std::to_string(settled.holder);
    switch (settled.refusal) {
        case Settling::Refusal::unreachable:
            break;
        case Settling::Refusal::stillQuitting:
            return StartRefusal::refuse(
                quitSignals,
                "quorelle: the Quorelle process that is quitting (pid " + pid + ") has not let go of the data folder " +
                    folder + " after a minute; this one ends without changing it.",
                "Quorelle is still quitting",
                "The Quorelle process that is quitting (pid " + pid + ") still uses the data folder " + folder +
                    ". Start Quorelle again once it has ended.");
        case Settling::Refusal::stillStarting:
            return StartRefusal::refuse(
                quitSignals,
                "quorelle: the Quorelle process that is starting (pid " + pid + ") on the data folder " + folder +
                    " has not answered on the session bus after a minute; this one ends without changing it.",
                "Quorelle is still starting",
                "The Quorelle process that is starting (pid " + pid + ") on the data folder " + folder +
                    " does not answer yet. Start Quorelle again once its window shows.");
        case Settling::Refusal::noAnswer:
            return StartRefusal::refuse(
                quitSignals,
                "quorelle: the Quorelle process using the data folder " + folder +
                    " did not answer; this one ends without changing it.",
                "Quorelle is not responding",
                "The Quorelle process using the data folder " + folder +
                    " did not answer. Close it before starting Quorelle again.");
    }
    return StartRefusal::refuse(quitSignals, DataFolderInUse::message(folder), "Quorelle is already running",
                                "Another Quorelle process is using the data folder " + folder +
                                    ". Close it before starting Quorelle again.");
}

}  // namespace

std::string DataFolderInUse::message(const std::string& folder) {
    return "quorelle: another Quorelle process is using the data folder " + folder +
           "; this one ends without changing it.";
}

std::string DataFolderInUse::unusableMessage(const DataFolderLock& lock) {
    const std::string said = "quorelle: the data folder " + lock.folder() + cannotBe(lock) + " (" + lock.problem();
    if (lock.failedStep() != DataFolderLock::Step::lock)
        return said + "); this one ends without reading or writing any data.";
    return said + "), so nothing would keep another Quorelle process from using it at the same time; this one ends "
                  "without changing it.";
}

std::optional<int> DataFolderInUse::settle(DataFolderLock& lock, const std::string& applicationID,
                                           QuitSignals& quitSignals) {
    const auto settled = Settling(lock, applicationID, quitSignals).run();
    switch (settled.outcome) {
        case Settling::Outcome::held:
            return std::nullopt;
        case Settling::Outcome::handedOver:
        case Settling::Outcome::quitAsked:
            return 0;
        case Settling::Outcome::refused:
            break;
    }
    return refuse(settled, lock.folder(), quitSignals);
}

int DataFolderInUse::reportUnusable(const DataFolderLock& lock, QuitSignals& quitSignals) {
    return StartRefusal::refuse(quitSignals, unusableMessage(lock), "Quorelle cannot use its data folder",
                                "The data folder " + lock.folder() + cannotBe(lock) + ": " + lock.problem() +
                                    ". Quorelle needs it to itself to keep your browsing data safe.");
}

}  // namespace quorelle
