#include "web/PageSaver.h"

#include "model/BrowserTab.h"
#include "model/GLibPtr.h"
#include "model/Uuid.h"
#include "state/AppState.h"
#include "state/IFileDialogs.h"
#include "store/MainQueue.h"
#include "web/ScriptAnswer.h"
#include "web/TabWebViewHost.h"
#include "web/TabWebViewStore.h"
#include "web/WebViewCoordinator.h"

#include <glibmm/error.h>
#include <glibmm/fileutils.h>
#include <webkit/webkit.h>

#include <memory>
#include <optional>

namespace quorelle {
namespace {

// The tab that asked for the save, and the view it asked from.
struct Asker {
    Asker(TabWebViewStore& store, const Uuid& tabID, WebKitWebView* view) : store(store), tabID(tabID), view(view) {}

    TabWebViewStore& store;
    Uuid tabID;
    GWeakPtr<WebKitWebView> view;
};

struct PendingSave {
    std::shared_ptr<const Asker> asker;
    std::string path;
};

// The state of the tab that asked, while that tab is still open in it, still
// shows a web page and still has the view it asked from; null otherwise. The
// cache may hold a new host under the same id, and the engine may keep a
// closed tab's view a while: neither counts.
std::shared_ptr<AppState> stillAsking(const Asker& asker) {
    const auto view = asker.view.get();
    auto* host = asker.store.host(asker.tabID);
    if (!view || !host || host->webView() != view.get()) return nullptr;
    auto tab = host->coordinator().tab();
    auto state = host->coordinator().appState();
    if (!tab || !state || tab->isInternal.get() || !state->isOpen(tab)) return nullptr;
    return state;
}

void onDocumentRead(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<PendingSave> save(static_cast<PendingSave*>(data));
    const auto markup = ScriptAnswer::text(source, result);
    // The tab may have been closed while its page was read.
    auto state = markup ? stillAsking(*save->asker) : nullptr;
    if (!state || !PageSaver::writeFile(save->path, *markup)) return;
    save->asker->store.mainQueue().post([weakState = std::weak_ptr<AppState>(state)] {
        if (auto alive = weakState.lock()) alive->toastMessage.set(std::string(PageSaver::savedMessage));
    });
}

}  // namespace

void PageSaver::savePageAs(TabWebViewStore& store, const Uuid& tabID, IFileDialogs& dialogs) {
    auto* host = store.host(tabID);
    if (!host) return;
    std::shared_ptr<const Asker> asker = std::make_shared<Asker>(store, tabID, host->webView());
    const std::vector<FileFilter> filters{FileFilter{"HTML", {"text/html"}, {}}};
    dialogs.chooseSavePath("Save As", suggestedFileName, filters, [asker](std::optional<std::string> path) {
        if (!path || path->empty() || !stillAsking(*asker)) return;
        const auto view = asker->view.get();
        webkit_web_view_evaluate_javascript(view.get(), documentScript, -1, nullptr, nullptr, nullptr, onDocumentRead,
                                            new PendingSave{asker, *path});
    });
}

bool PageSaver::writeFile(const std::string& path, const std::string& contents) {
    try {
        Glib::file_set_contents(path, contents);
        return true;
    } catch (const Glib::Error&) {
        return false;
    }
}

}  // namespace quorelle
