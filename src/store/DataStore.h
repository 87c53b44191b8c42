#pragma once

#include "model/AppSettings.h"
#include "model/Json.h"
#include "model/WindowSize.h"
#include "store/AtomicFile.h"
#include "store/FileDescriptor.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace quorelle {

class DataFolderLock;
class MainQueue;
struct ProfileData;
class SaveWriter;

// What a load found at a file's path.
enum class FileStatus {
    missing,  // no file: the fallback was used
    loaded,   // read and decoded
    damaged,  // a file exists but could not be read or decoded, or whether one
              // exists could not be learned (no permission to look into its
              // folder, a file where a folder belongs): the fallback was used,
              // and the next save moves whatever is there aside first
};

// A loaded value and what was found on disk.
template <typename T>
struct Loaded {
    T value;
    FileStatus status = FileStatus::missing;

    bool damaged() const { return status == FileStatus::damaged; }
};

// The browser's JSON files on disk: the app settings and the main window's
// size at the root of the data folder and, per profile, eleven files in
// root/profiles/<id>/.
//
// Loads give usable values whatever is (or is not) on disk. Folders are made
// (mode 0700) whenever their paths are used; files are replaced atomically
// with mode 0600 and written as pretty-printed JSON with sorted keys, so
// equal values give equal bytes.
//
// Saves only take a snapshot and queue it: one background writer per store
// encodes and writes the files in the order of their latest save, and a file
// saved again before it was written is written once. A load first waits for
// the queued writes of its file and a removal for all of them, so the store
// always reads what it was last given; flush() waits for all queued writes,
// and so does the destructor.
//
// A save the disk refuses (a read-only or full disk, no permission) leaves
// the old file as it was and keeps the file's newest contents in memory: the
// next save of any file writes it again, and so does the destructor, unless
// saveEverything(), the last write of a run, gave it up. Each cause is told
// once until everything is on disk again: a line on stderr, and the same
// line to whoever listens through tellSaveFailures().
//
// Nothing a user had is destroyed silently: a file that exists but cannot be
// read or decoded, or that cannot even be looked at, is left alone by the load
// and renamed to "<name>.unreadable-<UTC stamp>" just before the first save
// that would replace it; while that rename fails, or whether anything is there
// still cannot be learned, the save leaves the file alone. The store never
// replaces a file it did not read. Whatever stands where one of its folders
// belongs and is no folder (a file, a link to no folder, a loop of links) is
// set aside the same way, and the folder made in its place.
//
// Profile ids become folder names only when they are usable ones
// (BrowserProfile::isUsableID): an empty id, ".", "..", or one holding "/" or
// NUL never forms a path. Loads then give the fallbacks without touching the
// disk and saves do nothing.
//
// A store over a held data folder (made from its DataFolderLock) reaches
// every file under the root through the folder it locked, never by path:
// when that folder is moved while the browser runs, the store goes on
// reading and writing it where it now is, and never touches whatever takes
// its old place (another process's new data folder). Only what the store
// gives out (rootURL(), profileDirectory()) still reads as the old path.
//
// Not thread-safe: one store belongs to the main thread (its writer is its own).
class DataStore {
public:
    enum class Access {
        readWrite,
        // Never creates, writes, moves or removes anything (a guest window).
        readOnly,
    };

    explicit DataStore(std::string rootPath, Access access = Access::readWrite,
                       AtomicFile::Durability durability = AtomicFile::Durability::synced);
    // Over the folder `held` holds, reached through its own copy of the
    // lock's descriptor.
    explicit DataStore(const DataFolderLock& held, Access access = Access::readWrite,
                       AtomicFile::Durability durability = AtomicFile::Durability::synced);
    ~DataStore();
    DataStore(const DataStore&) = delete;
    DataStore& operator=(const DataStore&) = delete;

    Access access() const { return access_; }

    // The data folder's path, created with its parents on every call.
    std::string rootURL() const;
    // root/appSettings.json (the root is created on the way).
    std::string appSettingsURL() const;
    // root/profiles/<id>, created with its parents on every call; nothing for
    // an id that cannot be a folder name (nothing is created then).
    std::optional<std::string> profileDirectory(std::string_view profileID) const;

    // AppSettings::initial() when the file is missing or damaged; normalised
    // in every case. A damaged file means the browser has run before.
    Loaded<AppSettings> loadAppSettings();
    void saveAppSettings(const AppSettings& settings);

    // The main window's size as last saved; nothing when the file is missing
    // or damaged (the window then opens at its default size).
    std::optional<WindowSize> loadWindowSize();
    void saveWindowSize(const WindowSize& size);

    // The eleven files; each one that is missing or damaged gives only its
    // own field's fallback. Creates the profile folder.
    ProfileData loadProfileData(std::string_view profileID);
    // Queues all eleven files; a failure skips that file only.
    void saveProfileData(const ProfileData& data, std::string_view profileID);

    // What the last write of a run could not save.
    struct Unsaved {
        std::string what;    // in the user's words: "history and bookmarks"
        std::string reason;  // why the last write failed

        friend bool operator==(const Unsaved&, const Unsaved&) = default;
    };

    // Returns once every save queued so far has been written (or has failed).
    void flush();
    // The last write of a run, once nothing saves any more: writes once more
    // every file the disk refused so far, and waits for every save. Nothing
    // when all is on disk, else what was lost and why; what is still refused
    // then is given up, so the store's close writes nothing behind that
    // answer. A refused save of a file that already holds those very bytes
    // lost nothing, and counts as written.
    std::optional<Unsaved> saveEverything();

    // Why the folder at `path` (the root, or a folder under it) takes no new
    // files now; nothing when it does. A folder not made yet is judged by
    // the nearest entry above it, where it would be made. What is no folder
    // is named: "<path> is not a folder", "<path> is a loop of symbolic
    // links", "<path> is a link to nothing"; so is a folder above `path`
    // that refuses: "<root>/profiles: Permission denied"; else the system's
    // reason (FolderTree::writeProblem).
    std::optional<std::string> writeProblem(const std::string& path) const;
    // The files the store writes again (the root's, and the profile's
    // folder's) that are larger than `bytes`, with their sizes.
    std::vector<std::pair<std::string, std::uint64_t>> filesLargerThan(std::uint64_t bytes,
                                                                       std::string_view profileID) const;
    // The files at `paths` in the user's words, by what they keep ("history,
    // bookmarks and the window size"), each kind once.
    static std::string describeFiles(const std::vector<std::string>& paths);

    // While the returned handle is held, `tell` gets each new cause of failed
    // saves on the main thread, through `queue`, as the line to show: "Couldn't
    // save your browsing data: <reason>". One listener at a time: the latest.
    [[nodiscard]] std::shared_ptr<void> tellSaveFailures(MainQueue& queue,
                                                         std::function<void(const std::string& message)> tell);

    // Deletes root/profiles/<id> and everything in it (a symbolic link there
    // is removed itself, never followed). False when nothing was removed.
    bool removeProfileDirectory(std::string_view profileID);

    // ---- single documents (also for files the store does not own) ----------

    // Reads the JSON document at `path` and hands it to `read`, which throws
    // (JsonDecodeError or any std::exception) to reject it.
    FileStatus loadDocument(const std::string& path, const std::function<void(const Json&)>& read);
    // Pretty-printed, sorted keys; false when the store writes nothing.
    bool saveDocument(const std::string& path, const Json& document);
    // Replaces the file at `path`, moving it aside first when a load found it
    // damaged; false when the store writes nothing.
    bool saveBytes(const std::string& path, std::string_view bytes);

    // A record with readJson/toJson overloads (include "model/JsonCodec.h"
    // where these are used): the fallback when missing or damaged.
    template <typename T>
    Loaded<T> loadRecord(const std::string& path, T fallback) {
        std::optional<T> decoded;
        FileStatus status = loadDocument(path, [&decoded](const Json& document) { decoded = json::value<T>(document); });
        if (status == FileStatus::loaded) return {std::move(*decoded), status};
        return {std::move(fallback), status};
    }
    template <typename T>
    bool saveRecord(const std::string& path, const T& value) {
        return saveDocument(path, toJson(value));
    }

    // Deletes the file at `path` once its queued writes are done; a missing
    // file is fine.
    void removeFile(const std::string& path);

    // True while a load has found the file at `path` damaged and no save has
    // moved it aside yet.
    bool isAwaitingMoveAside(const std::string& path) const;

private:
    // Where a path is reached: through the held folder when it lies under
    // the root, else as it is.
    struct Place {
        int folder;
        std::string path;  // relative to `folder`
    };
    Place place(const std::string& path) const;

    DataStore(std::string rootPath, int rootFolder, Access access, AtomicFile::Durability durability);

    bool writable() const { return access_ == Access::readWrite; }
    std::string windowSizeURL() const;
    void makeFolder(const std::string& path) const;
    std::optional<std::string> profileFolderPath(std::string_view profileID) const;
    void queueWrite(const std::string& path, std::function<std::optional<std::string>()> encode);
    // On the writer's thread.
    std::error_code write(const std::string& path, std::string_view bytes);
    std::error_code moveAsideIfDamaged(const std::string& path);
    static bool holds(const Place& file, std::string_view bytes);
    void noteWritten(std::error_code error, std::size_t unsaved);

    struct SaveFailureListener {
        MainQueue& queue;
        std::function<void(const std::string& message)> tell;
    };

    std::string root_;
    FileDescriptor rootFolder_{-1};  // the held folder, when there is one
    Access access_;
    AtomicFile::Durability durability_;
    mutable std::mutex damagedMutex_;  // the writer moves files aside
    std::set<std::string> damaged_;    // paths found damaged, not yet moved aside
    std::mutex reportMutex_;           // the writer reports its results
    std::set<std::error_code> toldCauses_;  // since everything was last on disk
    std::error_code lastFailure_;
    std::weak_ptr<SaveFailureListener> listener_;
    std::unique_ptr<SaveWriter> writer_;  // last: it finishes its writes before the rest goes
};

}  // namespace quorelle
