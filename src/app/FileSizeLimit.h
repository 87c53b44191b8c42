#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace quorelle {

// The file-size limit (ulimit -f) against what the web engine needs to run.
//
// The limit caps more than files: the engine's sandbox hands each helper
// process its arguments in a memory file of a few kilobytes, and without
// one the engine ends the whole browser; a page is drawn into a shared
// memory file of 4 bytes a pixel of its view, and without one it stays
// blank. So the browser needs at least what a page as large as the largest
// screen takes. A soft limit below that is raised to it when the hard limit
// allows, which is said on stderr; otherwise the browser says that it cannot
// run, on stderr and in a dialog, and ends before the data folder is read or
// written. Under more, saves of files larger than the limit fail and are
// told as any failed save.
struct FileSizeLimit {
    // This process's (soft) limit in bytes; nothing when there is none.
    static std::optional<std::uint64_t> current();
    // What a page as large as the largest screen of the open display takes.
    static std::uint64_t needed();

    // Nothing when the limit is enough, or was raised to enough, else the
    // exit status once the user was told (1). Needs the display open.
    static std::optional<int> refusalIfTooSmall();

    // The lines written to stderr: the limit is too small and cannot be
    // raised past `most` (the hard limit), or it was raised.
    static std::string message(std::uint64_t limit, std::uint64_t most, std::uint64_t needed);
    static std::string raisedMessage(std::uint64_t limit, std::uint64_t needed);
    // The refusal dialog's text.
    static std::string detail(std::uint64_t limit, std::uint64_t most, std::uint64_t needed);
};

}  // namespace quorelle
