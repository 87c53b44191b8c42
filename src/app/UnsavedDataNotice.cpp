#include "app/UnsavedDataNotice.h"

#include "app/FileSizeLimit.h"
#include "state/AppState.h"
#include "store/DataStore.h"
#include "web/WebsiteDataService.h"

#include <cstdio>
#include <filesystem>
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

// What the data folder and the profile's folder cannot keep, and which of
// their files cannot be saved again; the toast's line for it.
std::optional<std::string> dataStoreProblems(DataStore& store, AppState& appState) {
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
        return "Your browsing data won't be saved: " + *profileProblem;
    }
    if (rootProblem) {
        say("the data folder " + root + " cannot be written (" + *rootProblem +
            "); changes to the list of profiles and the window size won't be saved; browsing data will be.");
        return "The list of profiles and the window size won't be saved: " + *rootProblem;
    }
    return filesOverTheLimit(store, profileID);
}

// What stood where a website data folder belongs and was set aside, what
// the web engine could not have used inside them and was set aside, and
// which of those folders cannot be used, for which the run keeps website
// data in memory only; the toast's lines for it.
std::vector<std::string> websiteDataProblems(WebsiteDataService& websiteData) {
    std::vector<std::string> lines;
    const auto& report = websiteData.makeFolders();
    // Each, and what took its place: as said on stderr, and in the toast.
    const auto tellSetAside = [&](const std::vector<FolderTree::SetAside>& setAside, const std::string& said,
                                  const std::string& shown) {
        for (const auto& [what, keptAs] : setAside) {
            say(what + "; it is kept as " + keptAs + ", and " + said + ".");
            lines.push_back(what + ": it is kept as " + std::filesystem::path(keptAs).filename().string() + ", and " +
                            shown);
        }
    };
    tellSetAside(report.setAside, "a new folder for website data is made in its place",
                 "website data goes to a new folder");
    tellSetAside(report.setAsideInside, "a new one takes its place", "a new one takes its place");
    if (!report.inMemoryOnly()) return lines;
    const auto& folders = websiteData.folders();
    std::string said, shown;
    const auto tell = [&](const char* what, const std::string& folder, const std::optional<std::string>& problem) {
        if (!problem) return;
        const std::string why = folder + " cannot be written (" + *problem + ")";
        said += (said.empty() ? "the " : " and the ") + std::string(what) + " " + why;
        shown += (shown.empty() ? "" : "; ") + why;
    };
    tell("website data folder", folders.data, report.dataProblem);
    tell("website cache folder", folders.cache, report.cacheProblem);
    say(said + "; this run keeps cookies and other website data in memory only, and they won't be saved.");
    lines.push_back("Cookies and other website data are kept in memory only and won't be saved: " + shown);
    return lines;
}

}  // namespace

void UnsavedDataNotice::tellAtStart(DataStore& store, WebsiteDataService& websiteData, AppState& appState) {
    std::vector<std::string> lines;
    if (auto line = dataStoreProblems(store, appState)) lines.push_back(std::move(*line));
    for (auto& line : websiteDataProblems(websiteData)) lines.push_back(std::move(line));
    if (lines.empty()) return;
    std::string toast;
    for (const auto& line : lines) toast += (toast.empty() ? "" : "\n") + line;
    appState.toastMessage.set(toast);
}

bool UnsavedDataNotice::savedAtQuit(DataStore& store) {
    const auto unsaved = store.saveEverything();
    if (!unsaved) return true;
    say("the latest changes to " + unsaved->what + " could not be saved before quitting (" + unsaved->reason +
        ") and are lost.");
    return false;
}

}  // namespace quorelle
