#include "app/UserFolderCheck.h"

#include "app/StartRefusal.h"
#include "store/FolderOwner.h"
#include "store/FolderTree.h"
#include "store/UserName.h"

#include <glib.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace quorelle {
namespace {

// The web engine's own switch: its sandbox is off when this names anything
// but "0".
bool sandboxOff() {
    const char* off = g_getenv("WEBKIT_DISABLE_SANDBOX_THIS_IS_DANGEROUS");
    return off && std::strcmp(off, "0") != 0;
}

int refuseAnotherUsers(const UserFolderCheck::Folder& folder, const FolderOwner::Found& found) {
    const auto name = UserName::of(found.owner);
    const std::string line =
        "quorelle: the " + folder.what + " " + folder.path +
        (found.isThePath ? "" : " would be made in " + found.folder + ", which") + " belongs to " +
        UserName::shown(found.owner) + ": start Quorelle as " +
        (name ? *name : "the user with uid " + std::to_string(found.owner)) +
        ", since what root saves there its owner could no longer read; this one ends without changing anything.\n";
    std::fputs(line.c_str(), stderr);
    return 1;
}

}  // namespace

std::optional<int> UserFolderCheck::refusalForAnotherUsers(const std::vector<Folder>& folders) {
    for (const auto& folder : folders)
        if (const auto found = FolderOwner::anotherUsers(folder.path, ::geteuid()))
            return refuseAnotherUsers(folder, *found);
    return std::nullopt;
}

std::optional<int> UserFolderCheck::refusalForTheSandbox(const std::vector<Folder>& folders,
                                                         QuitSignals& quitSignals) {
    if (sandboxOff()) return std::nullopt;
    for (const auto& folder : folders) {
        const auto problem = FolderTree::searchProblem(AT_FDCWD, folder.path, "");
        if (!problem) continue;
        return StartRefusal::refuse(quitSignals,
                                    "quorelle: the web engine's sandbox cannot look into the " + folder.what + " " +
                                        folder.path + " (" + *problem +
                                        "); this one ends without reading or writing any data.",
                                    "Quorelle cannot use your " + folder.what,
                                    "The web engine needs to look into the " + folder.what + " " + folder.path +
                                        ", and cannot: " + *problem + ".");
    }
    return std::nullopt;
}

}  // namespace quorelle
