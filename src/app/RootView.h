#pragma once

#include "model/Bookmark.h"
#include "window/BrowserView.h"
#include "window/PassThroughBox.h"

#include <gtkmm/box.h>
#include <gtkmm/label.h>
#include <gtkmm/overlay.h>
#include <gtkmm/revealer.h>
#include <sigc++/connection.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <string_view>
#include <vector>

namespace quorelle {

class AppState;
class CommandBus;
class TabWebViewStore;
class ViewRefresh;

// The modal cards a window can show over its layout, bottom to top.
enum class CardLayer : std::uint8_t {
    passwordSavePrompt,
    passwordUpdatePrompt,
    newTabCustomize,
    shortcutEditor,
    newBookmark,
    bookmarkEdit,
    inspectorPanel,
};

// The whole content of a browser window, as layers from bottom to top: the
// window layout; the cards, each present while its state flag or value is
// set; the "Guest" badge in the guest window; the toast.
//
// A card's widget comes from the factory registered for its layer, made
// afresh each time the card is presented and dropped when it goes away. The
// badge and the toast take no part in the layout. Nothing hidden takes a
// click: a card takes those on itself only, the badge none, and the toast
// those on its capsule while it shows a message; the rest reach the window
// layout beneath. A card gives the keyboard focus back as it goes, to where
// it was as the card came (the layout's focusReturn()).
//
// The toast clears itself: when it appears it schedules the clearing of the
// state's message after the toast duration. A message replaced while the
// toast shows is cleared by that same clearing; the clearing does not look
// at the text. The clearings belong to the view: those still pending when it
// goes are dropped with it, and a message still set is shown afresh, with a
// clearing of its own, by the next view over the state.
class RootView : public Gtk::Overlay {
public:
    using CardFactory = std::function<std::unique_ptr<Gtk::Widget>(AppState&)>;

    static constexpr std::chrono::milliseconds defaultToastDuration{2500};
    static constexpr std::array<CardLayer, 7> cardOrder{
        CardLayer::passwordSavePrompt, CardLayer::passwordUpdatePrompt, CardLayer::newTabCustomize,
        CardLayer::shortcutEditor,     CardLayer::newBookmark,          CardLayer::bookmarkEdit,
        CardLayer::inspectorPanel};
    static constexpr int inspectorPanelWidth = 560;
    static constexpr int inspectorPanelHeight = 480;

    static std::string_view cardName(CardLayer layer);
    // Whether the state asks for the card now.
    static bool isCardShown(CardLayer layer, const AppState& state);

    RootView(std::shared_ptr<AppState> appState, const WindowServices& services,
             std::chrono::milliseconds toastDuration = defaultToastDuration);
    ~RootView() override;

    BrowserView& browserView() { return browserView_; }
    const std::shared_ptr<AppState>& appState() const { return appState_; }

    void setCardFactory(CardLayer layer, CardFactory factory);
    // The layer's slot: shown, holding the card, only while the card is present.
    Gtk::Box& cardSlot(CardLayer layer);
    Gtk::Widget* presentedCard(CardLayer layer);

    Gtk::Label& guestBadge() { return guestBadge_; }
    Gtk::Revealer& toast() { return toast_; }
    Gtk::Label& toastLabel() { return toastLabel_; }
    bool toastPresent() const { return toastPresent_; }
    // The toast's clearings still to run: more than one when a message came
    // after an earlier one was cleared before its time.
    std::size_t pendingToastClearings() const { return toastClearings_.size(); }

    // ---- the bookmark-edit card's bindings -------------------------------------
    static bool bookmarkEditPresented(const AppState& state);
    // False closes the card (the bookmark itself is left alone); true does nothing.
    static void setBookmarkEditPresented(AppState& state, bool presented);
    // The bookmark being edited, or a blank one while the card is taken down.
    static Bookmark editedBookmark(const AppState& state);
    static void setEditedBookmark(AppState& state, const Bookmark& bookmark);
    // Deletes the bookmark being edited, if any, and closes the card.
    static void deleteEditedBookmark(AppState& state);

    // Redraws every layer from the state at once; changes are otherwise
    // picked up on the main queue.
    void refresh();

private:
    struct CardSlot {
        PassThroughBox box;
        CardFactory factory;
        std::unique_ptr<Gtk::Widget> card;
    };

    void buildCardSlots();
    void buildGuestBadge();
    void buildToast();
    void refreshCards();
    void refreshToast();
    void scheduleToastClearing();

    std::shared_ptr<AppState> appState_;
    std::chrono::milliseconds toastDuration_;
    BrowserView browserView_;
    std::array<CardSlot, cardOrder.size()> cards_;
    Gtk::Label guestBadge_;
    Gtk::Revealer toast_;
    Gtk::Label toastLabel_;
    bool toastPresent_ = false;
    std::unique_ptr<ViewRefresh> refresh_;
    std::vector<sigc::connection> connections_;
    std::list<sigc::connection> toastClearings_;  // pending, oldest first
};

}  // namespace quorelle
