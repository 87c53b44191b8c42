#pragma once

namespace quorelle {

class AppState;
class DataStore;

// Tells the user what the browser cannot keep: at the start, which of the
// data folder and the shown profile's folder take no writes (so browsing goes
// on, and only what they keep is lost), and which of their files are already
// larger than the file-size limit lets a save write; at the quit, what the
// last write could not save. Each on stderr; the start's in the window too.
struct UnsavedDataNotice {
    // Nothing when both folders can be written and every file fits.
    static void tellAtStart(DataStore& store, AppState& appState);
    // The store's last write; false when something changed could not be
    // saved, which is then said.
    static bool savedAtQuit(DataStore& store);
};

}  // namespace quorelle
