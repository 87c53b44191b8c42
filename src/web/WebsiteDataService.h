#pragma once

#include "model/GLibPtr.h"
#include "state/IWebsiteData.h"
#include "state/WebsiteDataStoreKind.h"
#include "store/FolderTree.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct _WebKitNetworkSession WebKitNetworkSession;

namespace quorelle {

class MainQueue;

// The web engine's network sessions and the website data they keep: the one
// persistent session shared by the normal profiles (made on first use and
// kept, cookies included), a fresh in-memory session for each guest web view,
// and the clearing of the persistent session's data. Everything the engine
// keeps lies in folders only the user can open (0700, files 0600).
//
// The two folders are the browser's to make, before the persistent session
// is: whatever stands in the place of either and is no folder (a file, a
// FIFO, a link to nothing, a loop of links) is set aside under another name
// and a folder made there. Given to the engine, it would end the browser at
// its start (its sandbox binds folders inside them) or keep no cookies.
//
// What the engine opens inside them as it starts (the cookie database with
// its journal files, the salts, the HSTS database, the folder its sandbox
// binds into each web process for the media keys, and each folder on the
// way to them) is set aside as well when the engine cannot use it: another
// user's (as a run by root leaves there, or the user's, for a run by root),
// one it cannot read or write (an immutable file), a folder where a file
// belongs or anything else that is no regular file (a FIFO would hang the
// database), anything but a folder where a folder belongs, or a link that
// leads nowhere (to a disk not mounted). The engine would keep no cookies at
// all and say so only in its own warnings, or not start its web processes.
// A new one is made in its place.
//
// Neither folder is given to the engine when one of them cannot be used (it
// cannot be written, or what the engine cannot use inside cannot be set
// aside): the normal profiles' views then share one in-memory session for
// the run, as the guest window's views each have one, and no website data is
// kept.
//
// Made once in main(). Main thread only.
class WebsiteDataService : public IWebsiteData {
public:
    // The persistent session's cookie database, inside the data folder.
    static constexpr const char* cookieFileName = "cookies.sqlite";

    // Where the persistent website data (cookies, storage) and its cache live.
    struct Folders {
        std::string data;
        std::string cache;
    };

    // What making the two folders met, for the start to tell: what stood in
    // a folder's place and was set aside, what the engine could not have
    // used inside them and was set aside, and why a folder cannot be used
    // (FolderTree::writeProblem, or what could not be set aside), for each
    // that cannot.
    struct FolderReport {
        std::vector<FolderTree::SetAside> setAside;
        std::vector<FolderTree::SetAside> setAsideInside;
        std::optional<std::string> dataProblem;
        std::optional<std::string> cacheProblem;

        // Whether the persistent session keeps its data in memory only.
        bool inMemoryOnly() const { return dataProblem || cacheProblem; }
    };

    WebsiteDataService(MainQueue& mainQueue, Folders folders);
    WebsiteDataService(const WebsiteDataService&) = delete;
    WebsiteDataService& operator=(const WebsiteDataService&) = delete;

    const Folders& folders() const { return folders_; }
    // Makes the two folders, once: on the first call, or as the persistent
    // session is made, whichever comes first. What that met.
    const FolderReport& makeFolders();

    // The normal profiles' session: on disk in the two folders, or in
    // memory when they cannot be used.
    WebKitNetworkSession* persistentSession();
    // The session a new web view gets: the persistent one, or a fresh
    // in-memory one.
    GObjectPtr<WebKitNetworkSession> sessionFor(WebsiteDataStoreKind kind);

    void clearWebsiteData(std::function<void()> completion) override;

private:
    struct Clearing;

    // Where the engine keeps the per-site media device salts, inside the
    // data folder (the last part is its storage version).
    static constexpr const char* mediaSaltFolder = "deviceidhashsalts/1";
    // The folder inside the data folder that the engine's sandbox binds into
    // each web process, for the media keys (the last part is its storage
    // version).
    static constexpr const char* mediaKeysFolder = "mediakeys/v1";
    // The engine's disk cache, inside the cache folder (the last part is its
    // storage version).
    static constexpr const char* diskCacheFolder = "WebKitCache/Version 17";

    void makeMediaSaltFolders() const;
    void judgeFolders(FolderReport& report) const;

    MainQueue& mainQueue_;
    Folders folders_;
    std::optional<FolderReport> folderReport_;
    GObjectPtr<WebKitNetworkSession> persistentSession_;
};

}  // namespace quorelle
