#pragma once

#include "model/Color.h"
#include "model/Uuid.h"
#include "state/AppState.h"
#include "window/ContentFocusScroller.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/scrolledwindow.h>
#include <sigc++/connection.h>
#include <sigc++/signal.h>

#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace quorelle {

class FaviconImageCache;
class SidewaysWheel;
class TabChip;
class ViewRefresh;

// The top row of the main window: one chip for every visible tab of the
// window's state, in the state's order, then a round "+" button that opens a
// new tab. None of its controls takes the keyboard focus. Chips keep their
// own widths; the row scrolls sideways without scroll bars, also under a
// vertical mouse wheel, and scrolls a newly added or newly selected tab's
// chip into view. While the row shows its end it keeps showing it as chips
// come, go or widen, as far as the active tab's chip, if it showed, stays in
// view. The leading inset and the frame colour come from the window's style
// sheet (vx-tab-strip).
//
// Tabs of a collapsed group have no chip. The strip changes nothing itself:
// every click is one operation of the state, and the row is brought up to
// date on the main queue after the state announces a change of its tabs,
// active tab or profile data. Chips are kept by tab id, so a chip survives
// its tab moving.
class TabStrip : public Gtk::Box {
public:
    static constexpr double rowSpacing = 4;
    static constexpr double rowPadding = 4;
    static constexpr double newTabButtonSize = 28;
    static constexpr double newTabTrailingPadding = 6;

    TabStrip(std::shared_ptr<AppState> appState, FaviconImageCache& images);
    ~TabStrip() override;

    // The tabs that get a chip: every tab except those whose group is
    // collapsed.
    static std::vector<AppState::TabPtr> visibleTabs(const AppState& appState);
    // The colour of the group a tab belongs to, if that group exists.
    static std::optional<Color> groupColor(const AppState& appState, const BrowserTab& tab);

    // Brings the row up to date at once.
    void refresh();

    // The chips in the order shown.
    std::vector<TabChip*> chips() const;
    TabChip* chipFor(const Uuid& tabID) const;
    Gtk::Button& newTabButton() { return newTab_; }
    Gtk::ScrolledWindow& scroller() { return scroller_; }
    // The "+" button has opened a tab, now the active one; the window puts
    // the keyboard focus in its omnibox.
    sigc::signal<void()>& signalNewTabOpened() { return newTabOpened_; }

private:
    void buildRow();
    void placeChips(const std::vector<AppState::TabPtr>& shown);
    // Scrolls the row so that the chip to reveal (and the row's end, when it
    // is to be kept in view) shows whole, once the window has given the row
    // its new size.
    void revealAfterLayout();
    void listenAfterLayout();
    void revealPending();
    // Where `chip` lies along the row, from its start to its end, once it
    // has its place.
    std::optional<std::pair<double, double>> spanOf(TabChip* chip);
    bool showsEnd() const;
    void onScrolled();
    void onRowResized();

    std::shared_ptr<AppState> appState_;
    FaviconImageCache& images_;
    ContentFocusScroller scroller_;
    Gtk::Box row_;
    Gtk::Button newTab_;
    std::map<Uuid, std::unique_ptr<TabChip>> chips_;
    std::optional<Uuid> shownActiveID_;
    std::optional<Uuid> chipToReveal_;
    bool keepsEnd_ = true;      // the row showed its end when last scrolled or resized
    bool endToReveal_ = false;  // the row is to be scrolled back to its end
    std::unique_ptr<SidewaysWheel> wheel_;
    sigc::connection revealOnLayout_;
    std::unique_ptr<ViewRefresh> refresh_;
    std::vector<sigc::connection> connections_;
    sigc::signal<void()> newTabOpened_;
};

}  // namespace quorelle
