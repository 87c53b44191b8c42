#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorelle {

class QuitSignals;

// The file-size limit (ulimit -f) against what the web engine needs to run.
//
// The limit caps more than files: the engine's sandbox hands each helper
// process its arguments in a memory file of a few kilobytes, and without
// one the engine ends the whole browser; a page is drawn into a shared
// memory file of 4 bytes a pixel of its view, and without one it stays
// blank. So the browser needs at least what a page as large as the largest
// screen takes. The soft limit is the process's own: it is raised as far as
// the hard limit goes, so that saves too get all the room they may have. A
// hard limit below what the engine needs makes the browser say that it
// cannot run, on stderr and in a dialog, and end before the data folder is
// read or written. Under more, saves of files larger than the limit fail and
// are told as any failed save, the limit named.
struct FileSizeLimit {
    // This process's (soft) limit in bytes; nothing when there is none.
    static std::optional<std::uint64_t> current();
    // What a page as large as the largest screen of the open display takes.
    static std::uint64_t needed();

    // Raises the soft limit to the hard one. Nothing when the limit is then
    // enough, else the exit status once the user was told (1). Needs the
    // display open.
    static std::optional<int> refusalIfTooSmall(QuitSignals& quitSignals);

    // The line written to stderr: the limit is too small and cannot be
    // raised past `most` (the hard limit).
    static std::string message(std::uint64_t limit, std::uint64_t most, std::uint64_t needed);
    // The refusal dialog's text.
    static std::string detail(std::uint64_t limit, std::uint64_t most, std::uint64_t needed);
};

}  // namespace quorelle
