#pragma once

#include "window/TabContentView.h"
#include "window/OmniboxSuggestionsOverlay.h"
#include "window/TabStrip.h"
#include "window/Toolbar.h"
#include "window/WindowServices.h"

#include <gtkmm/box.h>
#include <gtkmm/overlay.h>
#include <sigc++/connection.h>
#include <sigc++/signal.h>

#include <memory>
#include <vector>

namespace quorelle {

class AppState;
class CommandBus;
class TabWebViewStore;
class ViewRefresh;

// The permanent layout of a browser window, top to bottom: the tab strip,
// the toolbar, the bookmarks bar while it is switched on, and the page area
// with the sidebar docked on its left or right. Omnibox suggestions float
// above all of it.
//
// The tab strip, bookmarks bar, sidebars and suggestions are slots that
// their controls fill (fill*()); a slot shows only while the state says its
// control is on. The layout owns the window's one omnibox focus flag, which
// the toolbar's field drives and the suggestions read.
class BrowserView : public Gtk::Overlay {
public:
    BrowserView(std::shared_ptr<AppState> appState, const WindowServices& services);
    ~BrowserView() override;

    Toolbar& toolbar() { return toolbar_; }
    TabStrip& tabStrip() { return tabStrip_; }
    OmniboxSuggestionsOverlay& suggestions() { return suggestions_; }
    TabContentView& tabContent() { return tabContent_; }

    // Slots for controls built elsewhere; each takes the widget it is given.
    void fillBookmarksBar(Gtk::Widget& bookmarksBar);
    void fillSidebars(Gtk::Widget& left, Gtk::Widget& right);

    Gtk::Box& bookmarksBarSlot() { return bookmarksBarSlot_; }
    Gtk::Box& leftSidebarSlot() { return leftSidebarSlot_; }
    Gtk::Box& rightSidebarSlot() { return rightSidebarSlot_; }

    bool omniboxFocused() const { return omniboxFocused_; }
    sigc::signal<void(bool)>& signalOmniboxFocusChanged() { return omniboxFocusChanged_; }

    // Redraws from the state at once; changes are otherwise picked up on the
    // main queue.
    void refresh();

private:
    void buildColumn();
    void onOmniboxFocus(bool focused);
    static void fillSlot(Gtk::Box& slot, Gtk::Widget& child);

    std::shared_ptr<AppState> appState_;
    Gtk::Box column_{Gtk::Orientation::VERTICAL};
    TabStrip tabStrip_;
    Toolbar toolbar_;
    Gtk::Box bookmarksBarSlot_{Gtk::Orientation::VERTICAL};
    Gtk::Box pageRow_{Gtk::Orientation::HORIZONTAL};
    Gtk::Box leftSidebarSlot_{Gtk::Orientation::VERTICAL};
    TabContentView tabContent_;
    Gtk::Box rightSidebarSlot_{Gtk::Orientation::VERTICAL};
    OmniboxSuggestionsOverlay suggestions_;
    bool omniboxFocused_ = false;
    sigc::signal<void(bool)> omniboxFocusChanged_;
    std::unique_ptr<ViewRefresh> refresh_;
    std::vector<sigc::connection> connections_;
};

}  // namespace quorelle
