#pragma once

#include "model/GLibPtr.h"

#include <glib.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

typedef struct _WebKitNetworkSession WebKitNetworkSession;
typedef struct _WebKitDownload WebKitDownload;
typedef struct _WebKitWebView WebKitWebView;

namespace quorelle {

class AppState;
class IFileDialogs;
class MainQueue;

// Looks after the files the engine downloads when a page's navigation turns
// into a download: asks where to save each one, lets the engine write it
// there, and tells the user how it ended with exactly one toast message on
// the state of the tab it started in. A dismissed save dialog cancels the
// download without a word.
//
// The browser never starts a download itself and keeps no list or progress
// of running downloads. Main thread only.
class DownloadCoordinator {
public:
    static constexpr const char* finishedMessage = "Download finished";
    static constexpr const char* failedPrefix = "Download failed: ";

    // The dialogs to ask (nullptr: every download is cancelled), read at each
    // question, and the state of the tab a web view shows (nullptr: none).
    using DialogsSource = std::function<IFileDialogs*()>;
    using StateForView = std::function<std::shared_ptr<AppState>(WebKitWebView*)>;

    DownloadCoordinator(MainQueue& mainQueue, DialogsSource dialogs, StateForView stateForView);
    ~DownloadCoordinator();
    DownloadCoordinator(const DownloadCoordinator&) = delete;
    DownloadCoordinator& operator=(const DownloadCoordinator&) = delete;

    // Takes over the session's downloads; a session is watched once however
    // often it is passed.
    void watch(WebKitNetworkSession* session);

    // Downloads that have started and not yet ended.
    std::size_t activeCount() const { return downloads_.size(); }

private:
    struct Download {
        GObjectPtr<WebKitDownload> download;
        std::weak_ptr<AppState> state;
        bool dismissed = false;  // the save dialog was dismissed: cancelled on purpose
        bool failed = false;
    };

    void onStarted(WebKitDownload* download);
    void onDestinationChosen(WebKitDownload* download, const std::optional<std::string>& path);
    bool onDecideDestination(WebKitDownload* download, const char* suggestedName);
    void onFailed(WebKitDownload* download, const GError* error);
    void onFinished(WebKitDownload* download);
    void showToast(const std::weak_ptr<AppState>& state, std::string message);

    static void handleStarted(WebKitNetworkSession* session, WebKitDownload* download, gpointer self);
    static gboolean handleDecideDestination(WebKitDownload* download, char* suggestedName, gpointer self);
    static void handleFailed(WebKitDownload* download, GError* error, gpointer self);
    static void handleFinished(WebKitDownload* download, gpointer self);

    MainQueue& mainQueue_;
    DialogsSource dialogs_;
    StateForView stateForView_;
    std::vector<std::unique_ptr<GWeakPtr<WebKitNetworkSession>>> sessions_;
    std::map<WebKitDownload*, Download> downloads_;
    std::shared_ptr<char> alive_ = std::make_shared<char>(0);  // dialog answers hold it weakly
};

}  // namespace quorelle
