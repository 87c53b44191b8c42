#pragma once

#include <string>

namespace quorelle {

class QuitSignals;

// How a start that cannot go on ends: a line on stderr, then, when there is
// a display, an error dialog that keeps the process until it is closed (by
// its Close button, Escape or the window manager) or the process is asked to
// quit (QuitSignals), which a start asked before shows none for. Nothing else
// happens in between, so a refused start reads and writes no data.
struct StartRefusal {
    // The process's exit status: 1.
    static int refuse(QuitSignals& quitSignals, const std::string& line, const std::string& title,
                      const std::string& detail);
};

}  // namespace quorelle
