#include "store/DataStore.h"

#include "model/JsonCodec.h"
#include "model/ProfileData.h"
#include "store/ParallelTasks.h"

#include <glib.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>

namespace quorelle {
namespace {

constexpr std::string_view appSettingsFileName = "appSettings.json";
constexpr std::string_view profilesFolderName = "profiles";
constexpr std::string_view moveAsideMarker = ".unreadable-";

// "YYYYMMDDTHHMMSSZ" for the current moment in UTC.
std::string utcStamp() {
    GDateTime* now = g_date_time_new_now_utc();
    gchar* text = g_date_time_format(now, "%Y%m%dT%H%M%SZ");
    std::string stamp = text ? text : "";
    g_free(text);
    g_date_time_unref(now);
    return stamp;
}

bool exists(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

bool isFolder(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
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

// The text of one file of a profile save. Long lists are encoded in runs of
// elements on several threads; each run is a pretty-printed array of its
// own, and the runs are joined into exactly the text of the whole array.
struct EncodedFile {
    std::string name;
    std::vector<std::optional<std::string>> chunks;
    std::function<std::string()> whole;  // set for lists encoded in runs
    std::size_t tasksEnd = 0;            // its tasks are the ones before this index

    std::optional<std::string> text() const;
};

std::optional<std::string> EncodedFile::text() const {
    for (const auto& chunk : chunks)
        if (!chunk) return std::nullopt;  // encoding failed: this file is skipped
    if (!whole) return chunks.front();
    std::string joined = "[\n";
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        const std::string& run = *chunks[i];
        if (run.size() < 4 || !run.starts_with("[\n") || !run.ends_with("\n]")) return whole();
        joined.append(run, 2, run.size() - 4);
        joined += i + 1 < chunks.size() ? ",\n" : "\n]";
    }
    return joined;
}

constexpr std::size_t elementsPerRun = 256;

std::size_t runCount(std::size_t elements) {
    std::size_t workers = ParallelTasks::helperCount() + 1;
    return std::max<std::size_t>(1, std::min(workers, elements / elementsPerRun));
}

template <typename T>
void addEncodingTasks(EncodedFile& file, const T& value, std::vector<std::function<void()>>& tasks) {
    file.chunks.resize(1);
    tasks.push_back([&file, &value] { file.chunks[0] = json::dumpPretty(toJson(value)); });
}

template <typename T>
void addEncodingTasks(EncodedFile& file, const std::vector<T>& items, std::vector<std::function<void()>>& tasks) {
    std::size_t runs = runCount(items.size());
    file.chunks.resize(runs);
    if (runs == 1) {
        tasks.push_back([&file, &items] { file.chunks[0] = json::dumpPretty(toJson(items)); });
        return;
    }
    file.whole = [&items] { return json::dumpPretty(toJson(items)); };
    for (std::size_t run = 0; run < runs; ++run) {
        std::size_t begin = items.size() * run / runs;
        std::size_t end = items.size() * (run + 1) / runs;
        tasks.push_back([&file, &items, run, begin, end] {
            Json array = Json::array();
            for (std::size_t i = begin; i < end; ++i) array.push_back(toJson(items[i]));
            file.chunks[run] = json::dumpPretty(array);
        });
    }
}

}  // namespace

DataStore::DataStore(std::string rootPath, Access access, AtomicFile::Durability durability)
    : root_(std::move(rootPath)), access_(access), durability_(durability) {}

void DataStore::makeFolder(const std::string& path) const {
    if (writable()) g_mkdir_with_parents(path.c_str(), 0700);  // an existing folder is no error
}

std::string DataStore::rootURL() const {
    makeFolder(root_);
    return root_;
}

std::string DataStore::appSettingsURL() const { return rootURL() + "/" + std::string(appSettingsFileName); }

bool DataStore::isUsableProfileID(std::string_view profileID) {
    if (profileID.empty() || profileID == "." || profileID == "..") return false;
    return profileID.find('/') == std::string_view::npos && profileID.find('\0') == std::string_view::npos;
}

std::optional<std::string> DataStore::profileFolderPath(std::string_view profileID) const {
    if (!isUsableProfileID(profileID)) return std::nullopt;
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
    saveRecord(appSettingsURL(), settings);
}

ProfileData DataStore::loadProfileData(std::string_view profileID) {
    // The fallbacks: empty lists, fresh default shortcuts, the default
    // settings and the dark default theme.
    ProfileData data = ProfileData::makeNew();
    auto folder = profileDirectory(profileID);
    if (!folder) return data;
    forEachProfileFile(data, [&](std::string_view name, auto& field) {
        field = loadRecord(*folder + "/" + std::string(name), std::move(field)).value;
    });
    return data;
}

void DataStore::saveProfileData(const ProfileData& data, std::string_view profileID) {
    if (!writable()) return;
    auto folder = profileDirectory(profileID);
    if (!folder) return;
    std::deque<EncodedFile> files;  // stable addresses for the encoding tasks
    std::vector<std::function<void()>> tasks;
    forEachProfileFile(data, [&](std::string_view name, const auto& field) {
        files.push_back(EncodedFile{std::string(name), {}, {}});
        addEncodingTasks(files.back(), field, tasks);
        files.back().tasksEnd = tasks.size();
    });
    // Each file is written as soon as its text is ready, while later files are
    // still being encoded.
    ParallelTasks encoding(std::move(tasks));
    for (const auto& file : files) {
        encoding.waitForFirst(file.tasksEnd);
        auto text = file.text();
        if (text) saveBytes(*folder + "/" + file.name, *text);  // a failure skips this file only
    }
}

bool DataStore::removeProfileDirectory(std::string_view profileID) {
    if (!writable()) return false;
    if (profileID == AppSettings::defaultProfileID || profileID == AppSettings::guestProfileID) return false;
    auto folder = profileFolderPath(profileID);
    if (!folder || !isFolder(root_ + "/" + std::string(profilesFolderName))) return false;
    std::error_code error;
    // remove_all deletes a symbolic link itself and never what it points to.
    auto removed = std::filesystem::remove_all(std::filesystem::path(*folder), error);
    std::string prefix = *folder + "/";
    std::erase_if(damaged_, [&](const std::string& path) { return path.starts_with(prefix); });
    return !error && removed != static_cast<std::uintmax_t>(-1) && removed > 0;
}

FileStatus DataStore::loadDocument(const std::string& path, const std::function<void(const Json&)>& read) {
    auto file = AtomicFile::read(path);
    if (file.status == AtomicFile::ReadStatus::missing) {
        damaged_.erase(path);
        return FileStatus::missing;
    }
    bool decoded = false;
    if (file.status == AtomicFile::ReadStatus::read) {
        if (auto document = json::parse(file.bytes)) {
            try {
                read(*document);
                decoded = true;
            } catch (const std::exception&) {
                // a record's rules were broken: the whole file fails
            }
        }
    }
    if (!decoded) {
        damaged_.insert(path);
        return FileStatus::damaged;
    }
    damaged_.erase(path);
    return FileStatus::loaded;
}

bool DataStore::saveDocument(const std::string& path, const Json& document) {
    if (!writable()) return false;
    return saveBytes(path, json::dumpPretty(document));
}

bool DataStore::saveBytes(const std::string& path, std::string_view bytes) {
    if (!writable() || !moveAsideIfDamaged(path)) return false;
    return AtomicFile::replace(path, bytes, durability_);
}

bool DataStore::isAwaitingMoveAside(const std::string& path) const { return damaged_.contains(path); }

bool DataStore::moveAsideIfDamaged(const std::string& path) {
    auto entry = damaged_.find(path);
    if (entry == damaged_.end()) return true;
    if (!exists(path) || AtomicFile::renameAside(path, std::string(moveAsideMarker) + utcStamp())) {
        damaged_.erase(entry);
        return true;
    }
    return false;  // keep the damaged file; a later save tries again
}

}  // namespace quorelle
