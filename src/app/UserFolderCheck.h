#pragma once

#include <optional>
#include <string>
#include <vector>

namespace quorelle {

class QuitSignals;

// What a start checks of the user's folders before it makes or locks
// anything, so that it never takes over another user's data, nor ends in
// the web engine's crash once its window shows:
// - A start by the superuser (sudo -E, su -m) on a folder of the browser's
//   that belongs to another user would save files there that their owner
//   can no longer read, and one with another user's home, configuration,
//   cache or runtime folder (su keeps XDG_RUNTIME_DIR) would leave entries
//   of root's there (the toolkit's, the accessibility bus's, the settings
//   service's, the web engine's) that fail the user's own programs: it ends
//   at once, with one line on stderr that names the folder and its owner and
//   says to start Quorelle as that user. It opens no display and joins no
//   bus before.
// - The web engine's sandbox takes entries inside the home, configuration,
//   cache and runtime folders (fonts, sound, themes) into each web process,
//   and cannot start, ending the browser, when one of those folders cannot
//   be looked into (it is no folder, or one the user may not search): the
//   start names it, on stderr and in a dialog (StartRefusal), and ends.
struct UserFolderCheck {
    // A folder, and what it is to the user ("the data folder").
    struct Folder {
        std::string what;
        std::string path;
    };

    // The process's exit status when this process runs as the superuser
    // and one of `folders` (or, while it is not made, where it would be
    // made) belongs to another user: 1. Nothing otherwise.
    static std::optional<int> refusalForAnotherUsers(const std::vector<Folder>& folders);
    // The exit status when one of the user's `folders` cannot be looked into
    // by the engine's sandbox, unless the sandbox is off: 1. Nothing
    // otherwise.
    static std::optional<int> refusalForTheSandbox(const std::vector<Folder>& folders, QuitSignals& quitSignals);
};

}  // namespace quorelle
