#pragma once

#include "model/GLibPtr.h"
#include "state/IWebsiteData.h"
#include "state/WebsiteDataStoreKind.h"

#include <functional>
#include <memory>
#include <string>

typedef struct _WebKitNetworkSession WebKitNetworkSession;

namespace quorelle {

class MainQueue;

// The web engine's network sessions and the website data they keep: the one
// persistent session shared by the normal profiles (made on first use and
// kept, cookies included), a fresh in-memory session for each guest web view,
// and the clearing of the persistent session's data. Everything the engine
// keeps lies in folders only the user can open (0700, files 0600).
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

    WebsiteDataService(MainQueue& mainQueue, Folders folders);
    WebsiteDataService(const WebsiteDataService&) = delete;
    WebsiteDataService& operator=(const WebsiteDataService&) = delete;

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

    void makeMediaSaltFolders() const;

    MainQueue& mainQueue_;
    Folders folders_;
    GObjectPtr<WebKitNetworkSession> persistentSession_;
};

}  // namespace quorelle
