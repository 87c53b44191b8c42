#pragma once

#include "model/Uuid.h"

typedef struct _WebKitWebView WebKitWebView;

namespace quorelle {

class TabWebViewStore;

// A small facade over the web view cache for the per-tab commands. Each
// operation acts on the tab's cached host and does nothing when the tab has
// none (never shown, or already closed).
class WebViewRegistry {
public:
    explicit WebViewRegistry(TabWebViewStore& store) : store_(store) {}

    // The tab's web view, or nullptr.
    WebKitWebView* webView(const Uuid& tabID) const;
    void goBack(const Uuid& tabID) const;
    void goForward(const Uuid& tabID) const;
    void reload(const Uuid& tabID) const;
    void stop(const Uuid& tabID) const;

private:
    TabWebViewStore& store_;
};

}  // namespace quorelle
