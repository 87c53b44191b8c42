#include "web/DownloadCoordinator.h"

#include "state/AppState.h"
#include "state/IFileDialogs.h"
#include "store/MainQueue.h"
#include "web/PrivateFileMask.h"

#include <sys/stat.h>
#include <webkit/webkit.h>

#include <optional>

namespace quorelle {
namespace {

constexpr const char* watchKey = "quorelle-download-coordinator";

}  // namespace

DownloadCoordinator::DownloadCoordinator(MainQueue& mainQueue, DialogsSource dialogs, StateForView stateForView)
    : mainQueue_(mainQueue), dialogs_(std::move(dialogs)), stateForView_(std::move(stateForView)) {}

DownloadCoordinator::~DownloadCoordinator() {
    for (auto& [raw, entry] : downloads_) g_signal_handlers_disconnect_by_data(raw, this);
    for (auto& weak : sessions_) {
        auto session = weak->get();
        if (!session) continue;
        g_signal_handlers_disconnect_by_data(session.get(), this);
        if (g_object_get_data(G_OBJECT(session.get()), watchKey) == this)
            g_object_set_data(G_OBJECT(session.get()), watchKey, nullptr);
    }
}

void DownloadCoordinator::watch(WebKitNetworkSession* session) {
    if (!session || g_object_get_data(G_OBJECT(session), watchKey) == this) return;
    g_object_set_data(G_OBJECT(session), watchKey, this);
    // Sessions of closed guest tabs are gone; forget them.
    std::erase_if(sessions_, [](const auto& weak) { return !weak->get(); });
    sessions_.push_back(std::make_unique<GWeakPtr<WebKitNetworkSession>>(session));
    g_signal_connect(session, "download-started", G_CALLBACK(handleStarted), this);
}

// ---- engine events -------------------------------------------------------------

void DownloadCoordinator::handleStarted(WebKitNetworkSession*, WebKitDownload* download, gpointer self) {
    static_cast<DownloadCoordinator*>(self)->onStarted(download);
}

gboolean DownloadCoordinator::handleDecideDestination(WebKitDownload* download, char* suggestedName,
                                                      gpointer self) {
    return static_cast<DownloadCoordinator*>(self)->onDecideDestination(download, suggestedName);
}

void DownloadCoordinator::handleFailed(WebKitDownload* download, GError* error, gpointer self) {
    static_cast<DownloadCoordinator*>(self)->onFailed(download, error);
}

void DownloadCoordinator::handleFinished(WebKitDownload* download, gpointer self) {
    static_cast<DownloadCoordinator*>(self)->onFinished(download);
}

void DownloadCoordinator::onStarted(WebKitDownload* download) {
    Download entry;
    entry.download = GObjectPtr<WebKitDownload>::retain(download);
    if (WebKitWebView* view = webkit_download_get_web_view(download); view && stateForView_)
        if (auto state = stateForView_(view)) entry.state = state;
    downloads_[download] = std::move(entry);
    g_signal_connect(download, "decide-destination", G_CALLBACK(handleDecideDestination), this);
    g_signal_connect(download, "failed", G_CALLBACK(handleFailed), this);
    g_signal_connect(download, "finished", G_CALLBACK(handleFinished), this);
}

bool DownloadCoordinator::onDecideDestination(WebKitDownload* download, const char* suggestedName) {
    IFileDialogs* dialogs = dialogs_ ? dialogs_() : nullptr;
    if (!dialogs) {
        onDestinationChosen(download, std::nullopt);
        return true;
    }
    // The engine waits for a destination while the dialog is open.
    std::weak_ptr<char> alive = alive_;
    auto held = GObjectPtr<WebKitDownload>::retain(download);
    dialogs->chooseSavePath("Save File", suggestedName ? suggestedName : "", {},
                            [this, alive, held](std::optional<std::string> path) {
                                if (alive.lock())
                                    onDestinationChosen(held.get(), path);
                                else
                                    webkit_download_cancel(held.get());
                            });
    return true;
}

void DownloadCoordinator::onDestinationChosen(WebKitDownload* download, const std::optional<std::string>& path) {
    auto it = downloads_.find(download);
    if (it == downloads_.end()) return;
    if (path && !path->empty()) {
        // The dialog has already asked before replacing a file.
        webkit_download_set_allow_overwrite(download, TRUE);
        webkit_download_set_destination(download, path->c_str());
        return;
    }
    it->second.dismissed = true;
    webkit_download_cancel(download);
}

void DownloadCoordinator::onFailed(WebKitDownload* download, const GError* error) {
    auto it = downloads_.find(download);
    if (it == downloads_.end()) return;
    it->second.failed = true;
    if (it->second.dismissed) return;
    const std::string reason = error && error->message ? error->message : "";
    showToast(it->second.state, failedPrefix + reason);
}

// The engine ends every download with "finished", a failed one too.
void DownloadCoordinator::onFinished(WebKitDownload* download) {
    auto it = downloads_.find(download);
    if (it == downloads_.end()) return;
    Download entry = std::move(it->second);
    downloads_.erase(it);
    g_signal_handlers_disconnect_by_data(download, this);
    if (entry.failed) return;
    // The engine writes under the private mask it keeps its website data
    // with; a file the user saves gets the usual mode.
    if (const char* destination = webkit_download_get_destination(download))
        ::chmod(destination, PrivateFileMask::usualFileMode());
    showToast(entry.state, finishedMessage);
}

void DownloadCoordinator::showToast(const std::weak_ptr<AppState>& state, std::string message) {
    mainQueue_.post([state, message = std::move(message)] {
        if (auto alive = state.lock()) alive->toastMessage.set(message);
    });
}

}  // namespace quorelle
