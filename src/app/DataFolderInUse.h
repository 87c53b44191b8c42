#pragma once

#include <optional>
#include <string>

namespace quorelle {

class DataFolderLock;
class QuitSignals;

// What a start does when it cannot have the data folder to itself.
//
// The browser that holds the folder leaves a note in its lock file
// (HolderNote): the session bus it answers on, and whether it is starting,
// running or quitting. A start on the same bus is handed to it (it shows its
// window), once it owns its name there should it still be starting. One that
// it declines because it is quitting, or whose holder goes away, takes the
// folder as soon as the holder lets go of it (its last save done) and
// becomes the browser itself (Settling). A start that waits says on stderr
// what for. Only when the holder runs on and cannot be reached (another
// session bus, no bus, no answer), or stays starting or quitting for a
// minute, does the start say so, on stderr and in a dialog (when there is a
// display), and end. When the folder cannot be used at all, no process could
// be sure it is the only one writing there: the start says why, the same two
// ways, and ends. A start asked to quit (QuitSignals) as it waits ends then.
// Nothing is written to the folder by a start that ends.
struct DataFolderInUse {
    // While another process holds `lock`'s folder. Nothing once this process
    // holds it after all, else the process's exit status: 0 when the start
    // was handed over or asked to quit, 1 when it was refused.
    static std::optional<int> settle(DataFolderLock& lock, const std::string& applicationID,
                                     QuitSignals& quitSignals);
    // When the folder cannot be made, opened or locked. The process's exit
    // status: 1.
    static int reportUnusable(const DataFolderLock& lock, QuitSignals& quitSignals);

    // The lines written to stderr.
    static std::string message(const std::string& folder);
    static std::string unusableMessage(const DataFolderLock& lock);
};

}  // namespace quorelle
