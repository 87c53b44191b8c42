#pragma once

#include <string>

namespace quorelle {

// What a start does when another process holds the data folder: when that
// browser is reachable on the desktop's session bus, the start is handed to
// it (it shows its window); otherwise this process says so on stderr and in
// a dialog (when there is a display) and ends. Either way nothing is
// written to the folder.
struct DataFolderInUse {
    // The process's exit status: 0 when the start was handed over, else 1.
    static int report(const std::string& folder, const std::string& applicationID);

    // The line written to stderr.
    static std::string message(const std::string& folder);
};

}  // namespace quorelle
