#pragma once

#include <glib.h>

#include <functional>
#include <memory>
#include <vector>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitContextMenu WebKitContextMenu;
typedef struct _WebKitHitTestResult WebKitHitTestResult;

namespace quorelle {

class TabWebViewStore;
class WebViewCoordinator;

// Replaces the engine's right-click menu in a tab's page with the browser's
// own: Back, Forward, Reload | Save As…, New Tab | Inspect. The entries act on
// the tab through the web view cache, exactly as the toolbar does; their
// enabled states are taken once, when the menu opens.
class WebContextMenuHandler {
public:
    struct Entry {
        const char* actionName;  // the name of the entry's action
        const char* title;
    };
    // In menu order; a separator follows Reload and New Tab.
    static const std::vector<Entry>& entries();

    WebContextMenuHandler(TabWebViewStore& store, std::weak_ptr<WebViewCoordinator> coordinator);
    ~WebContextMenuHandler();
    WebContextMenuHandler(const WebContextMenuHandler&) = delete;
    WebContextMenuHandler& operator=(const WebContextMenuHandler&) = delete;

    // Gives the view a handler that lives as long as the view does.
    static void install(WebKitWebView* view, TabWebViewStore& store,
                        const std::shared_ptr<WebViewCoordinator>& coordinator);

    void connect(WebKitWebView* view);

    // Empties `menu` and fills it with the browser's entries for the tab the
    // coordinator shows in `view`. With the coordinator, its tab or its
    // state gone, the menu is left as the engine made it and false is given.
    bool customizeContextMenu(WebKitContextMenu* menu, WebKitWebView* view);

private:
    static gboolean handleContextMenu(WebKitWebView* view, WebKitContextMenu* menu, WebKitHitTestResult* hit,
                                      gpointer self);
    static void appendItem(WebKitContextMenu* menu, const Entry& entry, bool enabled, std::function<void()> action);

    TabWebViewStore& store_;
    std::weak_ptr<WebViewCoordinator> coordinator_;
    WebKitWebView* connectedView_ = nullptr;
};

}  // namespace quorelle
