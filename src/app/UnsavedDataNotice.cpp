#include "app/UnsavedDataNotice.h"

#include "state/AppState.h"
#include "store/DataStore.h"

#include <cstdio>
#include <optional>
#include <string>

namespace quorelle {
namespace {

void say(const std::string& line) { std::fprintf(stderr, "quorelle: %s\n", line.c_str()); }

}  // namespace

void UnsavedDataNotice::tellAtStart(DataStore& store, AppState& appState) {
    const std::string root = store.rootURL();
    const auto rootProblem = store.writeProblem(root);
    const auto profileFolder = store.profileDirectory(appState.appSettings.get().selectedStartupProfileID);
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
