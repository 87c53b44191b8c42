#pragma once

#include <fcntl.h>

#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace quorelle {

// Whole-file reads and crash-safe whole-file replacement.
//
// A replacement writes a private temporary file next to the target (mode
// 0600), optionally flushes it to the disk, and renames it over the target,
// so a reader (or the next start after a crash) finds either the old or the
// new contents, never a mix. A crash may leave a temporary file behind; it is
// hidden (".<name>.tmp-XXXXXX") and never read.
//
// Every path is taken relative to an open folder, `folder` (the working
// folder by default, so that an absolute path names itself): a folder held
// open is reached wherever it has been moved to meanwhile.
class AtomicFile {
public:
    static constexpr int workingFolder = AT_FDCWD;

    enum class Durability {
        // The new contents reach the disk before the rename: old or new
        // contents survive a power cut as well as a crash of the browser.
        synced,
        // No flush: old or new contents survive a crash of the browser; after
        // a power cut the file system decides.
        cached,
    };

    enum class ReadStatus { missing, read, unreadable };

    struct ReadResult {
        ReadStatus status = ReadStatus::missing;
        std::string bytes;  // only when read
    };

    // A regular file read whole. A path that does not exist (or whose folder
    // does not) is missing; anything else that stops the read (no
    // permission at the file or a folder above it, a file where a folder
    // belongs, a folder or device in the file's place) is unreadable: what
    // is there could not be learned.
    static ReadResult read(const std::string& path, int folder = workingFolder);

    // Replaces the file at `path` with `bytes`. Gives nothing when done, else
    // the system's error of the step that failed, in which case the old file
    // is untouched and no temporary file stays.
    static std::error_code replace(const std::string& path, std::string_view bytes, Durability durability,
                                   int folder = workingFolder);

    // Renames `path` to `path` + `suffix` without overwriting anything that
    // is already there (a counter is appended on a clash). Gives the new path.
    static std::optional<std::string> renameAside(const std::string& path, std::string_view suffix,
                                                  int folder = workingFolder);

    // What is set aside keeps its name with this mark and the moment it was
    // set aside: "<name>.unreadable-<UTC stamp>".
    static constexpr std::string_view setAsideMark = ".unreadable-";
    // Renames whatever is at `path` (a file, a folder, a link, never
    // followed, never opened) to "<name>.unreadable-<YYYYMMDDTHHMMSSZ>"
    // beside it, as renameAside does. Gives the new path.
    static std::optional<std::string> setAside(const std::string& path, int folder = workingFolder);

    // Whether anything (a file, a folder, a link, dangling or not) is at
    // `path`. `unknown` when that could not be learned (no permission to
    // look into a folder above it, a file where a folder belongs, an I/O
    // error): errno says why.
    enum class Presence { absent, present, unknown };
    static Presence presence(const std::string& path, int folder = workingFolder);

    // What the last failed system call of this thread set (errno), never "no
    // error": EIO when errno says nothing.
    static std::error_code lastSystemError();

    // The hidden temporary-file prefix used for `path`'s replacements.
    static std::string temporaryPrefix(const std::string& path);
    // Whether `fileName` (a name, not a path) is one a replacement gives its
    // temporary file: "." + a file's name + ".tmp-" + six letters or digits.
    static bool isTemporaryName(std::string_view fileName);
};

}  // namespace quorelle
