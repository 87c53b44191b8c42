#include "store/DataStore.h"

#include "model/JsonCodec.h"
#include "model/ProfileData.h"
#include "store/DataFolderLock.h"
#include "store/FolderTree.h"
#include "store/MainQueue.h"
#include "store/SaveWriter.h"

#include <glib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <system_error>
#include <type_traits>

namespace quorelle {
namespace {

constexpr std::string_view appSettingsFileName = "appSettings.json";
constexpr std::string_view windowSizeFileName = "windowSize.json";
constexpr std::string_view profilesFolderName = "profiles";
constexpr std::string_view saveFailedMessage = "Couldn't save your browsing data: ";

bool isFolder(int folder, const std::string& path) {
    struct stat info;
    return ::fstatat(folder, path.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode);
}

// What each of the browser's files keeps, in the user's words, in the order
// a message names them. A name ending in "-" stands for every file it begins
// (one file per saved login).
constexpr std::pair<std::string_view, std::string_view> fileWords[] = {
    {"history.json", "history"},
    {"bookmarks.json", "bookmarks"},
    {"bookmarkFolders.json", "bookmark folders"},
    {"passwords-secure-reference.json", "saved logins"},
    {"password-", "saved logins"},
    {"settings.json", "settings"},
    {"theme.json", "the theme"},
    {"savedThemes.json", "saved themes"},
    {"shortcuts.json", "New Tab shortcuts"},
    {"tabGroups.json", "tab groups"},
    {"proxies.json", "proxy profiles"},
    {"downloads.json", "downloads"},
    {appSettingsFileName, "the list of profiles"},
    {windowSizeFileName, "the window size"},
};

// Why a write failed, in the user's words. A file-size limit is named, with
// how to see it: the system's "File too large" alone reads as a full disk.
std::string reasonFor(std::error_code error) {
    std::string reason = error.message();
    rlimit limit{};
    if (error == std::errc::file_too_large && ::getrlimit(RLIMIT_FSIZE, &limit) == 0 &&
        limit.rlim_cur != RLIM_INFINITY)
        reason += limit.rlim_cur == limit.rlim_max
                      ? ": the hard file-size limit (ulimit -H -f) is " + std::to_string(limit.rlim_cur) + " bytes"
                      : ": the file-size limit (ulimit -f) is " + std::to_string(limit.rlim_cur) + " bytes";
    return reason;
}

// The entry of fileWords for a file name; the table's size for a file it
// does not know.
std::size_t kindOfFile(std::string_view name) {
    for (std::size_t kind = 0; kind < std::size(fileWords); ++kind) {
        const std::string_view known = fileWords[kind].first;
        if (name == known || (known.ends_with('-') && name.starts_with(known))) return kind;
    }
    return std::size(fileWords);
}

// The eleven files of a profile folder, in the order they are written and
// read, each with the field it keeps.
template <typename Data, typename Visit>
void forEachProfileFile(Data& data, Visit&& visit) {
    visit("bookmarks.json", data.bookmarks);
    visit("bookmarkFolders.json", data.bookmarkFolders);
    visit("history.json", data.history);
    visit("shortcuts.json", data.shortcuts);
    visit("settings.json", data.settings);
    visit("proxies.json", data.proxies);
    visit("tabGroups.json", data.tabGroups);
    visit("downloads.json", data.downloads);
    visit("theme.json", data.theme);
    visit("passwords-secure-reference.json", data.passwordReferences);
    visit("savedThemes.json", data.savedThemes);
}

}  // namespace

DataStore::DataStore(std::string rootPath, Access access, AtomicFile::Durability durability)
    : DataStore(std::move(rootPath), -1, access, durability) {}

DataStore::DataStore(const DataFolderLock& held, Access access, AtomicFile::Durability durability)
    : DataStore(held.folder(), ::fcntl(held.descriptor(), F_DUPFD_CLOEXEC, 0), access, durability) {}

DataStore::DataStore(std::string rootPath, int rootFolder, Access access, AtomicFile::Durability durability)
    : root_(std::move(rootPath)),
      rootFolder_(rootFolder),
      access_(access),
      durability_(durability),
      writer_(std::make_unique<SaveWriter>(
          [this](const std::string& path, std::string_view bytes) { return write(path, bytes); },
          [this](const SaveWriter::Result& result) { noteWritten(result.error, result.unsaved); })) {}

DataStore::~DataStore() = default;

void DataStore::flush() { writer_->waitUntilWritten(); }

std::optional<DataStore::Unsaved> DataStore::saveEverything() {
    const auto unsaved = writer_->finish();
    if (unsaved.empty()) return std::nullopt;
    std::lock_guard lock(reportMutex_);
    return Unsaved{describeFiles(unsaved), reasonFor(lastFailure_)};
}

std::optional<std::string> DataStore::writeProblem(const std::string& path) const {
    const Place folder = place(path);
    return FolderTree::writeProblem(folder.folder, folder.path,
                                    folder.folder == AtomicFile::workingFolder ? std::string() : root_ + "/");
}

std::vector<std::pair<std::string, std::uint64_t>> DataStore::filesLargerThan(std::uint64_t bytes,
                                                                              std::string_view profileID) const {
    std::vector<std::string> folders = {root_};
    if (auto profile = profileFolderPath(profileID)) folders.push_back(*profile);
    std::vector<std::pair<std::string, std::uint64_t>> found;
    for (const auto& folder : folders) {
        const Place at = place(folder);
        const FileDescriptor opened(::openat(at.folder, at.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (!opened.valid()) continue;
        for (const auto& name : FolderTree::names(opened.get())) {
            struct stat info;
            if (kindOfFile(name) == std::size(fileWords) || name.find(AtomicFile::setAsideMark) != std::string::npos ||
                ::fstatat(opened.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode) ||
                static_cast<std::uint64_t>(info.st_size) <= bytes)
                continue;
            found.emplace_back(folder + "/" + name, static_cast<std::uint64_t>(info.st_size));
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::string DataStore::describeFiles(const std::vector<std::string>& paths) {
    // Each kind once, in the table's order, then the files it does not know.
    std::vector<std::pair<std::size_t, std::string>> kinds;
    for (const auto& path : paths) {
        const std::string name = std::filesystem::path(path).filename().string();
        const std::size_t kind = kindOfFile(name);
        kinds.emplace_back(kind, kind < std::size(fileWords) ? std::string(fileWords[kind].second) : name);
    }
    std::sort(kinds.begin(), kinds.end());
    kinds.erase(std::unique(kinds.begin(), kinds.end()), kinds.end());
    std::string text;
    for (std::size_t i = 0; i < kinds.size(); ++i)
        text += (i == 0 ? "" : i + 1 == kinds.size() ? " and " : ", ") + kinds[i].second;
    return text;
}

std::shared_ptr<void> DataStore::tellSaveFailures(MainQueue& queue,
                                                  std::function<void(const std::string& message)> tell) {
    auto listener = std::make_shared<SaveFailureListener>(SaveFailureListener{queue, std::move(tell)});
    std::lock_guard lock(reportMutex_);
    listener_ = listener;
    return listener;
}

void DataStore::noteWritten(std::error_code error, std::size_t unsaved) {
    std::lock_guard lock(reportMutex_);
    if (!error) {
        if (unsaved == 0) toldCauses_.clear();  // everything is on disk again
        return;
    }
    lastFailure_ = error;
    if (!toldCauses_.insert(error).second) return;
    std::string message = std::string(saveFailedMessage) + reasonFor(error);
    std::fprintf(stderr, "%s\n", message.c_str());
    auto listener = listener_.lock();
    if (!listener) return;
    // Told on the main thread, if the listener is still there then.
    listener->queue.post([weak = listener_, message = std::move(message)] {
        if (auto alive = weak.lock()) alive->tell(message);
    });
}

void DataStore::queueWrite(const std::string& path, std::function<std::optional<std::string>()> encode) {
    writer_->queue(path, std::move(encode));
}

DataStore::Place DataStore::place(const std::string& path) const {
    if (!rootFolder_.valid() || !path.starts_with(root_)) return {AtomicFile::workingFolder, path};
    if (path.size() == root_.size()) return {rootFolder_.get(), "."};
    if (path[root_.size()] != '/') return {AtomicFile::workingFolder, path};
    return {rootFolder_.get(), path.substr(root_.size() + 1)};
}

std::error_code DataStore::write(const std::string& path, std::string_view bytes) {
    if (auto error = moveAsideIfDamaged(path)) return error;
    const Place file = place(path);
    auto error = AtomicFile::replace(file.path, bytes, durability_, file.folder);
    if (error == std::errc::no_such_file_or_directory) {
        // The folder went away after the save was queued (a save written
        // again after a failure, say): it is made again, as on any use of its
        // path.
        makeFolder(std::filesystem::path(path).parent_path().string());
        error = AtomicFile::replace(file.path, bytes, durability_, file.folder);
    }
    // A file the disk refuses to replace loses nothing when it already holds
    // these bytes (a read-only folder, a size saved unchanged).
    if (error && holds(file, bytes)) return {};
    return error;
}

bool DataStore::holds(const Place& file, std::string_view bytes) {
    const auto current = AtomicFile::read(file.path, file.folder);
    return current.status == AtomicFile::ReadStatus::read && current.bytes == bytes;
}

void DataStore::makeFolder(const std::string& path) const {
    if (!writable()) return;
    // What takes the place of a folder under the root (a file, a link to no
    // folder, a loop of links) is set aside as a damaged file is, and the
    // folder made in its place: the session's data is saved, and what was
    // there is kept.
    const Place folder = place(path);
    if (folder.folder != AtomicFile::workingFolder) {
        FolderTree::makeFolders(folder.folder, folder.path, 0700);
        return;
    }
    // A root not held is made by its path, and what lies below it as under a
    // held root; a folder outside the root only by its path.
    const bool underRoot = !rootFolder_.valid() && path.starts_with(root_ + "/");
    g_mkdir_with_parents(underRoot ? root_.c_str() : path.c_str(), 0700);
    if (!underRoot) return;
    const FileDescriptor root(::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (root.valid()) FolderTree::makeFolders(root.get(), path.substr(root_.size() + 1), 0700);
}

std::string DataStore::rootURL() const {
    makeFolder(root_);
    return root_;
}

std::string DataStore::appSettingsURL() const { return rootURL() + "/" + std::string(appSettingsFileName); }

std::optional<std::string> DataStore::profileFolderPath(std::string_view profileID) const {
    if (!BrowserProfile::isUsableID(profileID)) return std::nullopt;
    return root_ + "/" + std::string(profilesFolderName) + "/" + std::string(profileID);
}

std::optional<std::string> DataStore::profileDirectory(std::string_view profileID) const {
    auto folder = profileFolderPath(profileID);
    if (folder) makeFolder(*folder);
    return folder;
}

Loaded<AppSettings> DataStore::loadAppSettings() {
    auto loaded = loadRecord<AppSettings>(appSettingsURL(), AppSettings::initial());
    loaded.value.normalizeProfiles();
    return loaded;
}

void DataStore::saveAppSettings(const AppSettings& settings) {
    if (!writable()) return;
    queueWrite(appSettingsURL(), [settings] { return json::dumpPretty(toJson(settings)); });
}

std::string DataStore::windowSizeURL() const { return rootURL() + "/" + std::string(windowSizeFileName); }

std::optional<WindowSize> DataStore::loadWindowSize() {
    auto loaded = loadRecord<WindowSize>(windowSizeURL(), WindowSize{});
    if (loaded.status != FileStatus::loaded) return std::nullopt;
    return loaded.value;
}

void DataStore::saveWindowSize(const WindowSize& size) { saveRecord(windowSizeURL(), size); }

ProfileData DataStore::loadProfileData(std::string_view profileID) {
    auto folder = profileDirectory(profileID);
    if (!folder) return ProfileData::makeNew();
    // The fallbacks: empty lists, the default settings, the dark default
    // theme, and fresh default shortcuts (made only when they are needed).
    ProfileData data = ProfileData::empty();
    bool shortcutsLoaded = false;
    forEachProfileFile(data, [&](std::string_view name, auto& field) {
        auto loaded = loadRecord(*folder + "/" + std::string(name), std::move(field));
        if constexpr (std::is_same_v<std::decay_t<decltype(field)>, std::vector<ShortcutItem>>)
            shortcutsLoaded = loaded.status == FileStatus::loaded;
        field = std::move(loaded.value);
    });
    if (!shortcutsLoaded) data.shortcuts = ShortcutItem::defaultShortcuts();
    return data;
}

void DataStore::saveProfileData(const ProfileData& data, std::string_view profileID) {
    if (!writable()) return;
    auto folder = profileDirectory(profileID);
    if (!folder) return;
    // The writer encodes from this copy while the caller goes on changing its own.
    auto snapshot = std::make_shared<const ProfileData>(data);
    forEachProfileFile(*snapshot, [&](std::string_view name, const auto& field) {
        queueWrite(*folder + "/" + std::string(name),
                   [snapshot, &field] { return json::dumpPretty(toJson(field)); });
    });
}

bool DataStore::removeProfileDirectory(std::string_view profileID) {
    if (!writable()) return false;
    if (profileID == AppSettings::defaultProfileID || profileID == AppSettings::guestProfileID) return false;
    auto folder = profileFolderPath(profileID);
    const Place profiles = place(root_ + "/" + std::string(profilesFolderName));
    if (!folder || !isFolder(profiles.folder, profiles.path)) return false;
    flush();  // nothing queued may bring the folder back
    const Place profile = place(*folder);
    const bool removed = FolderTree::remove(profile.folder, profile.path);
    std::string prefix = *folder + "/";
    writer_->abandon([&prefix](const std::string& path) { return path.starts_with(prefix); });
    {
        std::lock_guard lock(damagedMutex_);
        std::erase_if(damaged_, [&](const std::string& path) { return path.starts_with(prefix); });
    }
    return removed;
}

FileStatus DataStore::loadDocument(const std::string& path, const std::function<void(const Json&)>& read) {
    writer_->waitUntilWritten(path);  // read what was last saved
    const Place place = this->place(path);
    auto file = AtomicFile::read(place.path, place.folder);
    FileStatus status = FileStatus::missing;
    if (file.status != AtomicFile::ReadStatus::missing) {
        status = FileStatus::damaged;
        if (file.status == AtomicFile::ReadStatus::read) {
            if (auto document = json::parse(file.bytes)) {
                try {
                    read(*document);
                    status = FileStatus::loaded;
                } catch (const std::exception&) {
                    // a record's rules were broken: the whole file fails
                }
            }
        }
    }
    std::lock_guard lock(damagedMutex_);
    if (status == FileStatus::damaged)
        damaged_.insert(path);
    else
        damaged_.erase(path);
    return status;
}

bool DataStore::saveDocument(const std::string& path, const Json& document) {
    if (!writable()) return false;
    queueWrite(path, [document] { return json::dumpPretty(document); });
    return true;
}

bool DataStore::saveBytes(const std::string& path, std::string_view bytes) {
    if (!writable()) return false;
    queueWrite(path, [bytes = std::string(bytes)] { return bytes; });
    return true;
}

void DataStore::removeFile(const std::string& path) {
    if (!writable()) return;
    writer_->waitUntilWritten(path);
    writer_->abandon([&path](const std::string& failed) { return failed == path; });
    const Place file = place(path);
    ::unlinkat(file.folder, file.path.c_str(), 0);
}

bool DataStore::isAwaitingMoveAside(const std::string& path) const {
    writer_->waitUntilWritten(path);
    std::lock_guard lock(damagedMutex_);
    return damaged_.contains(path);
}

std::error_code DataStore::moveAsideIfDamaged(const std::string& path) {
    std::lock_guard lock(damagedMutex_);
    auto entry = damaged_.find(path);
    if (entry == damaged_.end()) return {};
    const Place file = place(path);
    switch (AtomicFile::presence(file.path, file.folder)) {
        case AtomicFile::Presence::unknown:
            // Whatever is there now may be what the load could not read: it is
            // never replaced unseen, and a later save looks again.
            return AtomicFile::lastSystemError();
        case AtomicFile::Presence::present:
            if (!AtomicFile::setAside(file.path, file.folder))
                return AtomicFile::lastSystemError();  // keep the damaged file; a later save tries again
            break;
        case AtomicFile::Presence::absent:
            break;
    }
    damaged_.erase(entry);
    return {};
}

}  // namespace quorelle
