#include "app/UnsavedDataNotice.h"

#include "app/FileSizeLimit.h"
#include "state/AppState.h"
#include "store/DataStore.h"

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace quorelle {
namespace {

void say(const std::string& line) { std::fprintf(stderr, "quorelle: %s\n", line.c_str()); }

// Files a save cannot write again under the file-size limit: the limit is
// the hard one by now (the start raised the soft one to it), which only the
// superuser can raise.
std::optional<std::string> filesOverTheLimit(DataStore& store, const std::string& profileID) {
    const auto limit = FileSizeLimit::current();
    if (!limit) return std::nullopt;
    const auto files = store.filesLargerThan(*limit, profileID);
    if (files.empty()) return std::nullopt;
    std::vector<std::string> paths;
    for (const auto& [path, size] : files) {
        say(path + " is " + std::to_string(size) + " bytes, more than the hard file-size limit (ulimit -H -f) of " +
            std::to_string(*limit) + " bytes lets a save write.");
        paths.push_back(path);
    }
    const std::string what = DataStore::describeFiles(paths);
    say("changes to " + what + " won't be saved.");
    return "Changes to " + what + " won't be saved: the file-size limit (ulimit -H -f) is " + std::to_string(*limit) +
           " bytes";
}

}  // namespace

void UnsavedDataNotice::tellAtStart(DataStore& store, AppState& appState) {
    const std::string root = store.rootURL();
    const auto rootProblem = store.writeProblem(root);
    const std::string profileID = appState.appSettings.get().selectedStartupProfileID;
    const auto profileFolder = store.profileDirectory(profileID);
    const auto profileProblem = profileFolder ? store.writeProblem(*profileFolder) : std::nullopt;
    if (profileProblem) {
        say(rootProblem ? "the data folder " + root + " cannot be written (" + *rootProblem +
                              "); nothing changed now will be saved."
                        : "the profile folder " + *profileFolder + " cannot be written (" + *profileProblem +
                              "); changes to its browsing data won't be saved.");
        appState.toastMessage.set("Your browsing data won't be saved: " + *profileProblem);
    } else if (rootProblem) {
        say("the data folder " + root + " cannot be written (" + *rootProblem +
            "); changes to the list of profiles and the window size won't be saved; browsing data will be.");
        appState.toastMessage.set("The list of profiles and the window size won't be saved: " + *rootProblem);
    } else if (auto tooLarge = filesOverTheLimit(store, profileID)) {
        appState.toastMessage.set(*tooLarge);
    }
}

bool UnsavedDataNotice::savedAtQuit(DataStore& store) {
    const auto unsaved = store.saveEverything();
    if (!unsaved) return true;
    say("the latest changes to " + unsaved->what + " could not be saved before quitting (" + unsaved->reason +
        ") and are lost.");
    return false;
}

}  // namespace quorelle
