#pragma once

#include "web/WebTabView.h"

#include <glibmm/extraclassinit.h>
#include <gtkmm/box.h>
#include <gtkmm/progressbar.h>
#include <sigc++/connection.h>

#include <memory>
#include <vector>

namespace quorelle {

class AppState;
class BrowserTab;
class CommandBus;
class TabWebViewStore;
class ViewRefresh;

// The page area of a window: the shown tab's web view and, while its page
// loads, a 3 pt accent-coloured bar over the top edge of the page (the page
// does not move down). The bar follows the tab's load state and progress.
//
// The page is one stop for the window's keyboard focus: a move from
// elsewhere lands on the web view itself, and a move from the web view
// leaves the page area. Ctrl+Tab and Shift+Ctrl+Tab pressed in the page move
// that focus once, as anywhere else in the window, and never reach the page.
class TabContentView : public Glib::ExtraClassInit, public Gtk::Box {
public:
    TabContentView(TabWebViewStore& webViews, CommandBus& commandBus);
    ~TabContentView() override;

    // Shows `tab` of `state`; showing another tab replaces the web view.
    void showTab(const std::shared_ptr<BrowserTab>& tab, AppState& state);
    // Shows nothing: the window's frame colour shows through.
    void clear();

    const std::shared_ptr<BrowserTab>& tab() const { return webTabView_.tab(); }
    WebTabView& webTabView() { return webTabView_; }
    Gtk::ProgressBar& progressBar() { return progress_; }

    // Redraws the progress bar from the tab at once.
    void refreshProgress();

private:
    void takeFocusKeys();
    void watch(const std::shared_ptr<BrowserTab>& tab, AppState& state);
    void unwatch();

    WebTabView webTabView_;
    Gtk::ProgressBar progress_;
    std::unique_ptr<ViewRefresh> refresh_;
    std::vector<sigc::connection> tabConnections_;
};

}  // namespace quorelle
