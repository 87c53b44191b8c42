#pragma once

#include <string>

namespace quorelle {

// What a start does when it cannot have the data folder to itself.
//
// When another process holds the folder and that browser answers on the
// desktop's session bus (within a few seconds, should it still be starting),
// the start is handed to it (it shows its window); otherwise this process
// says so on stderr and in a dialog (when there is a display) and ends.
// When the folder cannot be locked at all, no process could be sure it is
// the only one writing there: the start says why, the same two ways, and
// ends. Either way nothing is written to the folder.
struct DataFolderInUse {
    // The process's exit status: 0 when the start was handed over, else 1.
    static int report(const std::string& folder, const std::string& applicationID);
    // The process's exit status: 1.
    static int reportUnlockable(const std::string& folder, const std::string& problem);

    // The lines written to stderr.
    static std::string message(const std::string& folder);
    static std::string unlockableMessage(const std::string& folder, const std::string& problem);
};

}  // namespace quorelle
