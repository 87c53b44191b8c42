#include "web/WebViewRegistry.h"

#include "web/TabWebViewHost.h"
#include "web/TabWebViewStore.h"

namespace quorelle {

WebKitWebView* WebViewRegistry::webView(const Uuid& tabID) const {
    auto* host = store_.host(tabID);
    return host ? host->webView() : nullptr;
}

void WebViewRegistry::goBack(const Uuid& tabID) const {
    if (auto* host = store_.host(tabID)) host->goBack();
}

void WebViewRegistry::goForward(const Uuid& tabID) const {
    if (auto* host = store_.host(tabID)) host->goForward();
}

void WebViewRegistry::reload(const Uuid& tabID) const {
    if (auto* host = store_.host(tabID)) host->reload();
}

void WebViewRegistry::stop(const Uuid& tabID) const {
    if (auto* host = store_.host(tabID)) host->stop();
}

}  // namespace quorelle
