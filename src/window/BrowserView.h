#pragma once

#include "model/Uuid.h"
#include "window/FocusReturn.h"
#include "window/OmniboxSuggestionsOverlay.h"
#include "window/TabContentView.h"
#include "window/TabStrip.h"
#include "window/Toolbar.h"
#include "window/WindowServices.h"

#include <gtkmm/box.h>
#include <gtkmm/overlay.h>
#include <sigc++/connection.h>
#include <sigc++/signal.h>

#include <map>
#include <memory>
#include <vector>

namespace quorelle {

class AppState;
class BrowserTab;
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
//
// It also decides where the keyboard focus goes. A tab chosen (with a click
// or a key) gets it where it last was in that tab: on its page, or in the
// omnibox when the user was editing there as the tab was left or the tab
// shows a New Tab page; a tab just opened keeps it in the omnibox when the
// command that opened it put it there. Return in the omnibox leaves it on the
// page it opened, and a tab that turns into a New Tab page (Home, closing
// the only tab) has it in the omnibox, as a new tab does; one that turns
// from a New Tab page into another page (Back, a bookmark) gives it to that
// page, unless the user has typed into the omnibox. What closes over the
// layout gives it back through focusReturn(), which falls back to the active
// tab's place.
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

    FocusReturn& focusReturn() { return focusReturn_; }
    // Puts the keyboard focus on the active tab's page, or in the omnibox
    // while that page is a New Tab page, made for typing an address.
    // So does a page opened from outside the page and the omnibox (a
    // panel's list, say): it takes the keys from the control that opened it.
    void focusActiveTab();

    bool omniboxFocused() const { return omniboxFocused_; }
    sigc::signal<void(bool)>& signalOmniboxFocusChanged() { return omniboxFocusChanged_; }

    // Redraws from the state at once; changes are otherwise picked up on the
    // main queue.
    void refresh();

private:
    void buildColumn();
    void onOmniboxFocus(bool focused);
    void showTab(const std::shared_ptr<BrowserTab>& tab);
    void rememberShownTabFocus();
    void followActiveRoute(const std::shared_ptr<BrowserTab>& tab);
    void moveKeysIfTurned();
    void showPanel(Gtk::Box& slot, bool shown);
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
    FocusReturn focusReturn_;
    // Each tab the layout has shown: whether the user was editing in the
    // omnibox as it was left.
    std::map<Uuid, bool> leftEditing_;
    // Whether the active tab showed a New Tab page when last looked at, and
    // the watch on its page's kind.
    bool activeShowedNewTab_ = false;
    sigc::connection activeRoute_;
    std::unique_ptr<ViewRefresh> refresh_;
    std::vector<sigc::connection> connections_;
};

}  // namespace quorelle
