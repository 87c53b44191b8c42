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

std::optional<int> DataFolderInUse::settle(DataFolderLock& lock, const std::string& applicationID) {
    switch (Settling(lock, applicationID).run()) {
        case Settling::Outcome::held:
            return std::nullopt;
        case Settling::Outcome::handedOver:
            return 0;
        case Settling::Outcome::waiting:
        case Settling::Outcome::refused:
            break;
    }
    return StartRefusal::refuse(message(lock.folder()), "Quorelle is already running",
                                "Another Quorelle process is using the data folder " + lock.folder() +
                                    ". Close it before starting Quorelle again.");
}

int DataFolderInUse::reportUnusable(const DataFolderLock& lock) {
    return StartRefusal::refuse(unusableMessage(lock), "Quorelle cannot use its data folder",
                                "The data folder " + lock.folder() + cannotBe(lock) + ": " + lock.problem() +
                                    ". Quorelle needs it to itself to keep your browsing data safe.");
}

}  // namespace quorelle
