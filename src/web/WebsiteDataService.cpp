#include "web/WebsiteDataService.h"

#include "store/FileDescriptor.h"
#include "store/MainQueue.h"
#include "web/PrivateFileMask.h"

#include <webkit/webkit.h>

#include <fcntl.h>

#include <filesystem>
#include <utility>
#include <vector>

namespace quorelle {
namespace {

// A folder an earlier version left open to others is closed up with
// everything in it: folders 0700, files 0600 (links are left alone); a
// private one is not walked again.
void closeUp(const std::string& folder) {
    using std::filesystem::perms;
    std::error_code error;
    const auto status = std::filesystem::status(folder, error);
    if ((status.permissions() & (perms::group_all | perms::others_all)) == perms::none) return;
    std::filesystem::permissions(folder, perms::owner_all, error);
    for (auto it = std::filesystem::recursive_directory_iterator(folder, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        const auto entry = it->symlink_status(error);
        if (error) break;
        if (entry.type() == std::filesystem::file_type::directory)
            std::filesystem::permissions(it->path(), perms::owner_all, error);
        else if (entry.type() == std::filesystem::file_type::regular)
            std::filesystem::permissions(it->path(), perms::owner_read | perms::owner_write, error);
        error.clear();
    }
}

// Makes the folder (0700) and what is missing above it, or closes up the
// one there. Whatever stands in its place and is no folder is set aside,
// never opened, and noted in `setAside`.
void makePrivate(const std::string& folder, std::vector<FolderTree::SetAside>& setAside) {
    const std::filesystem::path path(folder);
    const std::string above = path.parent_path().string();
    g_mkdir_with_parents(above.c_str(), 0700);
    const FileDescriptor parent(::open(above.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!parent.valid()) return;
    std::error_code error;
    if (std::filesystem::is_directory(std::filesystem::status(folder, error)))
        closeUp(folder);
    else
        FolderTree::makeFolders(parent.get(), path.filename().string(), 0700, above + "/", &setAside);
}

// An entry the web engine opens as it starts, inside one of the two
// folders: a file (a database's journal files lie beside it) or a folder.
struct EngineEntry {
    std::string path;
    FolderTree::Kind kind = FolderTree::Kind::file;
    bool database = false;
};

// Sets aside each of `entries` in `folder` that the engine cannot use, and
// each folder on the way to one, first, with a database's journal files
// (FolderTree::setAsideUnusable). Why one could not be. Only these few are
// looked at, not what the engine opens later, site by site, so that a start
// never walks the folders.
std::optional<std::string> setAsideUnusable(const std::string& folder, const std::vector<EngineEntry>& entries,
                                            std::vector<FolderTree::SetAside>& setAside) {
    for (const auto& [path, kind, database] : entries)
        for (std::size_t end = path.find('/');; end = path.find('/', end + 1)) {
            const bool last = end == std::string::npos;
            std::vector<std::string> group{folder + "/" + path.substr(0, end)};
            if (last && database)
                for (const char* journal : {"-journal", "-wal", "-shm"}) group.push_back(group.front() + journal);
            if (auto problem = FolderTree::setAsideUnusable(AT_FDCWD, group, last ? kind : FolderTree::Kind::folder,
                                                            {}, setAside))
                return problem;
            if (last) break;
        }
    return std::nullopt;
}

}  // namespace

WebsiteDataService::WebsiteDataService(MainQueue& mainQueue, Folders folders)
    : mainQueue_(mainQueue), folders_(std::move(folders)) {}

const WebsiteDataService::FolderReport& WebsiteDataService::makeFolders() {
    if (!folderReport_) {
        FolderReport report;
        makePrivate(folders_.data, report.setAside);
        makePrivate(folders_.cache, report.setAside);
        judgeFolders(report);
        if (!report.inMemoryOnly()) makeMediaSaltFolders();
        folderReport_ = std::move(report);
    }
    return *folderReport_;
}

// Why the engine cannot use either folder: it takes no writes, or what the
// engine opens in it as it starts and cannot use cannot be set aside
// (nothing is set aside once either folder cannot be used). The folder the
// sandbox binds into each web process is on the way to one of those.
void WebsiteDataService::judgeFolders(FolderReport& report) const {
    report.dataProblem = FolderTree::writeProblem(AT_FDCWD, folders_.data, {});
    report.cacheProblem = FolderTree::writeProblem(AT_FDCWD, folders_.cache, {});
    if (report.inMemoryOnly()) return;
    const std::string mediaKeys = mediaKeysFolder, diskCache = diskCacheFolder;
    report.dataProblem = setAsideUnusable(folders_.data,
                                          {{cookieFileName, FolderTree::Kind::file, true},
                                           {"storage/salt"},
                                           {mediaKeys + "/salt"},
                                           {mediaSaltFolder, FolderTree::Kind::folder}},
                                          report.setAsideInside);
    if (!report.dataProblem)
        report.cacheProblem = setAsideUnusable(folders_.cache,
                                               {{"HSTS/hsts-storage.sqlite", FolderTree::Kind::file, true},
                                                {"CacheStorage/salt"},
                                                {diskCache + "/salt"}},
                                               report.setAsideInside);
}

// Cookies are kept on disk only when the session is told where: otherwise the
// engine holds them in memory and a restart loses them.
WebKitNetworkSession* WebsiteDataService::persistentSession() {
    if (!persistentSession_) {
        const PrivateFileMask mask;
        if (makeFolders().inMemoryOnly()) {
            persistentSession_ = GObjectPtr<WebKitNetworkSession>::adopt(webkit_network_session_new_ephemeral());
            return persistentSession_.get();
        }
        persistentSession_ = GObjectPtr<WebKitNetworkSession>::adopt(
            webkit_network_session_new(folders_.data.c_str(), folders_.cache.c_str()));
        const std::string cookies = folders_.data + "/" + cookieFileName;
        auto* cookieManager = webkit_network_session_get_cookie_manager(persistentSession_.get());
        webkit_cookie_manager_set_persistent_storage(cookieManager, cookies.c_str(),
                                                     WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
    }
    return persistentSession_.get();
}

// The engine keeps one kind of website data in this process rather than in
// its network process: the salts that give each site its own media device
// ids. A worker thread of this process makes their folders the first time
// that data is asked for (clearing the website data usually asks first), with
// whatever file mask the process has then, the usual one. Made here first,
// they are private whenever that happens.
void WebsiteDataService::makeMediaSaltFolders() const {
    const std::string folder = folders_.data + "/" + mediaSaltFolder;
    g_mkdir_with_parents(folder.c_str(), 0700);
}

GObjectPtr<WebKitNetworkSession> WebsiteDataService::sessionFor(WebsiteDataStoreKind kind) {
    if (kind == WebsiteDataStoreKind::nonPersistent) {
        // The first session made starts the engine's network process, which
        // also writes the persistent session's data later.
        const PrivateFileMask mask;
        return GObjectPtr<WebKitNetworkSession>::adopt(webkit_network_session_new_ephemeral());
    }
    return GObjectPtr<WebKitNetworkSession>::retain(persistentSession());
}

// One clearing in flight: owned by whichever engine callback runs next.
struct WebsiteDataService::Clearing {
    MainQueue& queue;
    std::function<void()> completion;

    void finish() {
        if (completion) queue.post(std::move(completion));
    }

    static void onFetched(GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<Clearing> clearing(static_cast<Clearing*>(data));
        auto* manager = WEBKIT_WEBSITE_DATA_MANAGER(source);
        GList* records = webkit_website_data_manager_fetch_finish(manager, result, nullptr);
        // An empty store (or a failed fetch) answers with no list at all,
        // which the remove call refuses: there is nothing to remove.
        if (!records) return clearing->finish();
        webkit_website_data_manager_remove(manager, WEBKIT_WEBSITE_DATA_ALL, records, nullptr, &Clearing::onRemoved,
                                           clearing.release());
        g_list_free_full(records, reinterpret_cast<GDestroyNotify>(webkit_website_data_unref));
    }

    static void onRemoved(GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<Clearing> clearing(static_cast<Clearing*>(data));
        webkit_website_data_manager_remove_finish(WEBKIT_WEBSITE_DATA_MANAGER(source), result, nullptr);
        clearing->finish();
    }
};

void WebsiteDataService::clearWebsiteData(std::function<void()> completion) {
    auto* manager = webkit_network_session_get_website_data_manager(persistentSession());
    webkit_website_data_manager_fetch(manager, WEBKIT_WEBSITE_DATA_ALL, nullptr, &Clearing::onFetched,
                                      new Clearing{mainQueue_, std::move(completion)});
}

}  // namespace quorelle
