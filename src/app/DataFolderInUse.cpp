#include "app/DataFolderInUse.h"

#include "app/StartRefusal.h"

#include <gio/gio.h>

namespace quorelle {
namespace {

// True when a browser with this application id answers on the session bus
// and was asked to show itself.
bool handOver(const std::string& applicationID) {
    GApplication* probe = g_application_new(applicationID.c_str(), G_APPLICATION_DEFAULT_FLAGS);
    const bool remote = g_application_register(probe, nullptr, nullptr) && g_application_get_is_remote(probe);
    if (remote) g_application_activate(probe);
    g_object_unref(probe);
    return remote;
}

}  // namespace

std::string DataFolderInUse::message(const std::string& folder) {
    return "quorelle: another Quorelle process is using the data folder " + folder +
           "; this one ends without changing it.";
}

std::string DataFolderInUse::unlockableMessage(const std::string& folder, const std::string& problem) {
    return "quorelle: the data folder " + folder + " cannot be locked (" + problem +
           "), so nothing would keep another Quorelle process from using it at the same time; this one ends "
           "without changing it.";
}

int DataFolderInUse::report(const std::string& folder, const std::string& applicationID) {
    if (handOver(applicationID)) return 0;
    return StartRefusal::refuse(message(folder), "Quorelle is already running",
                                "Another Quorelle process is using the data folder " + folder +
                                    ". Close it before starting Quorelle again.");
}

int DataFolderInUse::reportUnlockable(const std::string& folder, const std::string& problem) {
    return StartRefusal::refuse(unlockableMessage(folder, problem), "Quorelle cannot use its data folder",
                                "The data folder " + folder + " cannot be locked: " + problem +
                                    ". Quorelle needs it to itself to keep your browsing data safe.");
}

}  // namespace quorelle
