#include "web/WebTabView.h"

#include "model/BrowserTab.h"
#include "state/AppState.h"
#include "store/MainQueue.h"
#include "web/CommandBus.h"
#include "web/InspectorService.h"
#include "web/TabWebViewHost.h"
#include "web/TabWebViewStore.h"
#include "web/WebViewCoordinator.h"

#include <webkit/webkit.h>

namespace quorelle {

WebTabView::WebTabView(TabWebViewStore& store, CommandBus& commands) : store_(store), commands_(commands) {
    set_hexpand(true);
    set_vexpand(true);
    views_.set_transition_type(Gtk::StackTransitionType::NONE);
    views_.set_hhomogeneous(true);
    views_.set_vhomogeneous(true);
    views_.set_visible(false);
    set_child(views_);
    hostRemoved_ = store_.signalHostRemoved.connect(sigc::mem_fun(*this, &WebTabView::onHostRemoved));
}

WebTabView::~WebTabView() {
    stopListening();
    hostRemoved_.disconnect();
    releaseViews();
}

// A page runs for as long as its view lives, and tells the view what it
// does. Some of that the engine takes in through the view's window: a new
// entry in the page's history has it take a picture of the view from the
// window's renderer, and a view in no window makes it read a window that is
// not there. So no view is left running outside the window that showed it.
void WebTabView::releaseViews() {
    while (GtkWidget* view = gtk_widget_get_first_child(GTK_WIDGET(views_.gobj()))) {
        if (auto* host = store_.hostOf(WEBKIT_WEB_VIEW(view))) {
            const Uuid tabID = host->tabID();
            store_.removeHost(tabID);  // which takes the view out of the stack
        } else {
            gtk_stack_remove(views_.gobj(), view);
        }
    }
}

void WebTabView::showTab(const std::shared_ptr<BrowserTab>& tab, AppState& state) {
    auto& host = store_.ensureHost(tab, state);
    if (tab_ != tab) {
        tab_ = tab;
        state_ = state.weak_from_this();
        listenForCommands(tab->id());
    }
    // A tab made without a load of its own loads the first time it is shown.
    if (!host.coordinator().lastLoadedCanonicalURL) {
        std::weak_ptr<BrowserTab> weakTab = tab;
        TabWebViewStore* store = &store_;
        store_.mainQueue().post([store, weakTab] {
            auto tab = weakTab.lock();
            auto* host = tab ? store->host(tab->id()) : nullptr;
            if (host && !host->coordinator().lastLoadedCanonicalURL) host->navigate(tab->urlString.get(), false);
        });
    }
    GtkWidget* view = GTK_WIDGET(host.webView());
    if (gtk_widget_get_parent(view) != GTK_WIDGET(views_.gobj())) {
        TabWebViewHost::detachFromParent(view);  // another window showed it last
        gtk_stack_add_child(views_.gobj(), view);
    }
    gtk_stack_set_visible_child(views_.gobj(), view);
    views_.set_visible(true);
}

void WebTabView::clearTab() {
    stopListening();
    tab_.reset();
    views_.set_visible(false);
}

GtkWidget* WebTabView::shownView() {
    return views_.get_visible() ? gtk_stack_get_visible_child(views_.gobj()) : nullptr;
}

void WebTabView::onHostRemoved(const Uuid& tabID) {
    if (tab_ && tab_->id() == tabID) clearTab();
}

void WebTabView::listenForCommands(const Uuid& tabID) {
    stopListening();
    TabWebViewStore* store = &store_;
    auto withHost = [store, tabID](void (TabWebViewHost::*action)()) {
        return [store, tabID, action] {
            if (auto* host = store->host(tabID)) (host->*action)();
        };
    };
    commandConnections_.push_back(commands_.connectForTab(TabCommand::goBack, tabID, withHost(&TabWebViewHost::goBack)));
    commandConnections_.push_back(
        commands_.connectForTab(TabCommand::goForward, tabID, withHost(&TabWebViewHost::goForward)));
    commandConnections_.push_back(commands_.connectForTab(TabCommand::reload, tabID, withHost(&TabWebViewHost::reload)));
    commandConnections_.push_back(commands_.connectForTab(TabCommand::stop, tabID, withHost(&TabWebViewHost::stop)));
    commandConnections_.push_back(commands_.connectForTab(TabCommand::inspect, tabID, [store, tabID] {
        auto* host = store->host(tabID);
        auto tab = host ? host->coordinator().tab() : nullptr;
        auto state = host ? host->coordinator().appState() : nullptr;
        if (!tab || !state) return;
        InspectorService::openInspector(*tab, *state, [store](const Uuid& id) -> IInspectableView* {
            return store->host(id);
        });
    }));
}

void WebTabView::stopListening() {
    for (auto& connection : commandConnections_) connection.disconnect();
    commandConnections_.clear();
}

}  // namespace quorelle
