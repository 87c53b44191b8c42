#pragma once

#include <string>

namespace quorelle {

// How a start that cannot go on ends: a line on stderr, then, when there is
// a display, an error dialog that keeps the process until it is closed (by
// its Close button, Escape or the window manager). Nothing else happens in
// between, so a refused start reads and writes no data.
struct StartRefusal {
    // The process's exit status: 1.
    static int refuse(const std::string& line, const std::string& title, const std::string& detail);
};

}  // namespace quorelle
