#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

// What the browser that holds a data folder tells the starts it keeps out,
// through the note in the folder's lock file: which process it is, the
// session bus it answers on (by the bus's own id; none without a bus), and
// how far it is: starting (not on the bus yet), running (answering there),
// or quitting. One line:
//   "quorelle-holder pid=<pid> bus=<bus id or -> state=<starting|running|quitting>\n"
struct HolderNote {
    enum class Stage { starting, running, quitting };

    pid_t pid = 0;
    std::optional<std::string> bus;
    Stage stage = Stage::starting;

    std::string text() const;
    // Nothing unless the text is a whole note.
    static std::optional<HolderNote> parse(std::string_view text);
};

}  // namespace quorelle
