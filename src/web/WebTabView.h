#pragma once

#include "model/Uuid.h"

#include <gtkmm/overlay.h>
#include <gtkmm/stack.h>
#include <sigc++/connection.h>

#include <memory>
#include <vector>

namespace quorelle {

class AppState;
class BrowserTab;
class CommandBus;
class TabWebViewStore;

// Puts one tab's cached web view into the window. It does not own the view:
// the web view cache does, so switching tabs never reloads a page. Every view
// this window has shown stays in place in a stack, and a switch only changes
// which one is visible: taking a web view out of the window and putting it
// back costs the engine a fresh surface. The views go with the window: the
// cache releases every view it holds as it goes. It starts a tab's first load
// when the tab has never been loaded, and carries out the per-tab commands
// (back, forward, reload, stop, inspect) posted for the tab it shows. The
// window adds its progress bar as an overlay child.
class WebTabView : public Gtk::Overlay {
public:
    WebTabView(TabWebViewStore& store, CommandBus& commands);
    ~WebTabView() override;

    // Shows the tab (making its web view on its first showing).
    void showTab(const std::shared_ptr<BrowserTab>& tab, AppState& state);
    // Shows nothing.
    void clearTab();
    // Has the cache release every view this window holds, and their pages
    // with them. The window calls it before it goes, so that each view leaves
    // it only as its page closes; the destructor does it for any other.
    void releaseViews();
    const std::shared_ptr<BrowserTab>& tab() const { return tab_; }
    // The web view on screen, or nullptr while nothing is shown.
    GtkWidget* shownView();

private:
    void listenForCommands(const Uuid& tabID);
    void stopListening();
    void onHostRemoved(const Uuid& tabID);

    TabWebViewStore& store_;
    CommandBus& commands_;
    Gtk::Stack views_;
    std::shared_ptr<BrowserTab> tab_;
    std::weak_ptr<AppState> state_;
    std::vector<sigc::connection> commandConnections_;
    sigc::connection hostRemoved_;
};

}  // namespace quorelle
