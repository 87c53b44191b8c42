#include "web/PageSaver.h"

#include "model/GLibPtr.h"
#include "state/AppState.h"
#include "state/IFileDialogs.h"
#include "store/MainQueue.h"
#include "web/WebViewCoordinator.h"

#include <glibmm/error.h>
#include <glibmm/fileutils.h>
#include <webkit/webkit.h>

#include <optional>

namespace quorelle {
namespace {

struct PendingSave {
    MainQueue* mainQueue;
    std::weak_ptr<WebViewCoordinator> coordinator;
    std::string path;
};

std::optional<std::string> stringAnswer(GObject* source, GAsyncResult* result) {
    JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, nullptr);
    if (!value) return std::nullopt;
    std::optional<std::string> answer;
    if (jsc_value_is_string(value)) {
        gchar* text = jsc_value_to_string(value);
        if (text) answer = text;
        g_free(text);
    }
    g_object_unref(value);
    return answer;
}

void onDocumentRead(GObject* source, GAsyncResult* result, gpointer data) {
    std::unique_ptr<PendingSave> save(static_cast<PendingSave*>(data));
    const auto markup = stringAnswer(source, result);
    if (!markup || !PageSaver::writeFile(save->path, *markup)) return;
    save->mainQueue->post([coordinator = save->coordinator] {
        auto self = coordinator.lock();
        if (auto state = self ? self->appState() : nullptr) state->toastMessage.set(std::string(PageSaver::savedMessage));
    });
}

}  // namespace

void PageSaver::savePageAs(WebKitWebView* view, IFileDialogs& dialogs, MainQueue& mainQueue,
                           std::weak_ptr<WebViewCoordinator> coordinator) {
    auto weakView = std::make_shared<GWeakPtr<WebKitWebView>>(view);
    const std::vector<FileFilter> filters{FileFilter{"HTML", {"text/html"}, {}}};
    dialogs.chooseSavePath("Save As", suggestedFileName, filters,
                           [weakView, queue = &mainQueue, coordinator](std::optional<std::string> path) {
                               // A tab closed meanwhile saves nothing, even while
                               // the engine still holds its view.
                               auto view = weakView->get();
                               if (!path || path->empty() || !view || coordinator.expired()) return;
                               auto* save = new PendingSave{queue, coordinator, *path};
                               webkit_web_view_evaluate_javascript(view.get(), documentScript, -1, nullptr,
                                                                   nullptr, nullptr, onDocumentRead, save);
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
