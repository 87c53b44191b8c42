#pragma once

#include <gio/gio.h>

#include <optional>
#include <string>

namespace quorelle {

class DataFolderLock;
class QuitSignals;

// The application's name on the session bus as the browser that held the
// data folder before may have left it. A browser that quits gives up its
// name before it lets go of the folder, but the bus drops the name of one
// that was killed only once it notices, and that browser's folder is free
// at once. A start that took the folder meanwhile would find the name taken
// as its application registers, make itself the remote of a browser that is
// gone, hand itself over to it and end: no browser would be left.
struct NameLeftBehind {
    // Waits while the name is owned by the process `previousNote` (the note
    // the folder's last holder left in `lock`) names, or by one that has
    // ended. Nothing once the name is free, or owned by some other process
    // (which the application then hands the start to, as ever). When it is
    // still held after a minute, the previous note is left back in place of
    // this start's and the start says why on stderr and in a dialog; the
    // process's exit status then: 1. A quit signal (QuitSignals) ends the
    // wait the same way, without a word: the status then is 0.
    static std::optional<int> waitUntilFree(GDBusConnection* bus, const std::string& applicationID,
                                            DataFolderLock& lock, const std::string& previousNote,
                                            QuitSignals& quitSignals);
};

}  // namespace quorelle
