#include "web/WebContextMenuHandler.h"

#include "model/BrowserTab.h"
#include "state/AppState.h"
#include "web/InspectorService.h"
#include "web/PageSaver.h"
#include "web/TabWebViewHost.h"
#include "web/TabWebViewStore.h"
#include "web/WebContentServices.h"
#include "web/WebViewCoordinator.h"

#include <webkit/webkit.h>

namespace quorelle {
namespace {

constexpr const char* handlerKey = "quorelle-context-menu-handler";

enum EntryIndex { back, forward, reload, saveAs, newTab, inspect };

void runAction(GSimpleAction*, GVariant*, gpointer data) { (*static_cast<std::function<void()>*>(data))(); }

void deleteAction(gpointer data, GClosure*) { delete static_cast<std::function<void()>*>(data); }

void appendSeparator(WebKitContextMenu* menu) {
    webkit_context_menu_append(menu, webkit_context_menu_item_new_separator());
}

}  // namespace

const std::vector<WebContextMenuHandler::Entry>& WebContextMenuHandler::entries() {
    static const std::vector<Entry> all{
        {"back", "Back"},
        {"forward", "Forward"},
        {"reload", "Reload"},
        {"save-as", "Save As\u2026"},
        {"new-tab", "New Tab"},
        {"inspect", "Inspect"},
    };
    return all;
}

WebContextMenuHandler::WebContextMenuHandler(TabWebViewStore& store, std::weak_ptr<WebViewCoordinator> coordinator)
    : store_(store), coordinator_(std::move(coordinator)) {}

WebContextMenuHandler::~WebContextMenuHandler() {
    if (connectedView_) g_signal_handlers_disconnect_by_data(connectedView_, this);
}

void WebContextMenuHandler::install(WebKitWebView* view, TabWebViewStore& store,
                                    const std::shared_ptr<WebViewCoordinator>& coordinator) {
    auto* handler = new WebContextMenuHandler(store, coordinator);
    handler->connect(view);
    // The view is finalised with its handler; the handler must not touch it then.
    g_object_set_data_full(G_OBJECT(view), handlerKey, handler, [](gpointer data) {
        auto* handler = static_cast<WebContextMenuHandler*>(data);
        handler->connectedView_ = nullptr;
        delete handler;
    });
}

void WebContextMenuHandler::connect(WebKitWebView* view) {
    if (connectedView_) g_signal_handlers_disconnect_by_data(connectedView_, this);
    connectedView_ = view;
    g_signal_connect(view, "context-menu", G_CALLBACK(handleContextMenu), this);
}

gboolean WebContextMenuHandler::handleContextMenu(WebKitWebView* view, WebKitContextMenu* menu,
                                                  WebKitHitTestResult*, gpointer self) {
    static_cast<WebContextMenuHandler*>(self)->customizeContextMenu(menu, view);
    return FALSE;  // the engine shows the menu as it now is
}

bool WebContextMenuHandler::customizeContextMenu(WebKitContextMenu* menu, WebKitWebView* view) {
    auto coordinator = coordinator_.lock();
    auto tab = coordinator ? coordinator->tab() : nullptr;
    auto state = coordinator ? coordinator->appState() : nullptr;
    if (!tab || !state) return false;

    webkit_context_menu_remove_all(menu);
    TabWebViewStore* store = &store_;
    const Uuid tabID = tab->id();
    std::weak_ptr<BrowserTab> weakTab = tab;
    std::weak_ptr<AppState> weakState = state;
    const auto& all = entries();

    appendItem(menu, all[back], store->canGoBack(view, *tab), [store, tabID] { store->goBack(tabID); });
    appendItem(menu, all[forward], store->canGoForward(view, *tab), [store, tabID] { store->goForward(tabID); });
    appendItem(menu, all[reload], true, [store, weakTab, weakState] {
        auto tab = weakTab.lock();
        auto state = weakState.lock();
        if (tab && state) store->reload(tab, *state);
    });
    appendSeparator(menu);
    appendItem(menu, all[saveAs], !tab->isInternal.get(), [store, tabID] {
        if (IFileDialogs* dialogs = store->services().fileDialogs) PageSaver::savePageAs(*store, tabID, *dialogs);
    });
    appendItem(menu, all[newTab], true, [weakState] {
        if (auto state = weakState.lock()) state->newTab();
    });
    appendSeparator(menu);
    appendItem(menu, all[inspect], true, [store, weakTab, weakState] {
        auto tab = weakTab.lock();
        auto state = weakState.lock();
        if (!tab || !state) return;
        InspectorService::openInspector(*tab, *state,
                                        [store](const Uuid& id) -> IInspectableView* { return store->host(id); });
    });
    return true;
}

void WebContextMenuHandler::appendItem(WebKitContextMenu* menu, const Entry& entry, bool enabled,
                                       std::function<void()> action) {
    GSimpleAction* gaction = g_simple_action_new(entry.actionName, nullptr);
    g_signal_connect_data(gaction, "activate", G_CALLBACK(runAction), new std::function<void()>(std::move(action)),
                          deleteAction, GConnectFlags(0));
    g_simple_action_set_enabled(gaction, enabled);
    webkit_context_menu_append(menu, webkit_context_menu_item_new_from_gaction(G_ACTION(gaction), entry.title, nullptr));
    g_object_unref(gaction);  // the entry keeps its action
}

}  // namespace quorelle
