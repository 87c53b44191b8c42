#pragma once

namespace quorelle {

class AppState;
class DataStore;
class WebsiteDataService;

// Tells the user what the browser cannot keep: at the start, which of the
// data folder and the shown profile's folder take no writes (so browsing goes
// on, and only what they keep is lost), and which of their files are already
// larger than the file-size limit lets a save write; what stood where a
// website data folder belongs, or what the web engine could not have opened
// inside one, and was set aside, and which of those folders cannot be used,
// so that the run keeps website data in memory only; at the
// quit, what the last write could not save. Each on stderr; the start's in
// the window too, in one toast.
struct UnsavedDataNotice {
    // Nothing when every folder can be written, every file fits and nothing
    // was set aside. The website data folders are made first if they are not
    // yet.
    static void tellAtStart(DataStore& store, WebsiteDataService& websiteData, AppState& appState);
    // The store's last write; false when something changed could not be
    // saved, which is then said.
    static bool savedAtQuit(DataStore& store);
};

}  // namespace quorelle
