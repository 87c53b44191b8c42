#include "app/RootView.h"

#include "state/AppState.h"
#include "window/ChromeStyle.h"
#include "window/FixedStyle.h"
#include "window/ViewRefresh.h"

#include <glibmm/main.h>

namespace quorelle {
namespace {

constexpr const char* capsuleClass = "vx-capsule";
constexpr const char* toastFrameClass = "vx-toast-frame";
constexpr const char* guestBadgeClass = "vx-guest-badge";
constexpr const char* inspectorFrameClass = "vx-inspector-frame";

// Shapes only; the colours come from the window's theme (the card material,
// and the toast's own fill and ring).
constexpr const char* capsuleStyle =
    ".vx-card.vx-capsule { border-radius: 999px; }\n"
    ".vx-card.vx-guest-badge { font-size: 11px; font-weight: 500; padding: 4px 8px; box-shadow: none; }\n"
    ".vx-card.vx-toast { font-size: 13px; font-weight: 400; padding: 10px 16px; }\n"
    ".vx-inspector-frame { box-shadow: 0 0 12px rgba(0,0,0,0.33); }\n"
    "revealer.vx-toast-frame { border-radius: 999px; }\n";

std::size_t slotIndex(CardLayer layer) { return static_cast<std::size_t>(layer); }

}  // namespace

std::string_view RootView::cardName(CardLayer layer) {
    switch (layer) {
    case CardLayer::passwordSavePrompt: return "password-save-prompt";
    case CardLayer::passwordUpdatePrompt: return "password-update-prompt";
    case CardLayer::newTabCustomize: return "new-tab-customize";
    case CardLayer::shortcutEditor: return "shortcut-editor";
    case CardLayer::newBookmark: return "new-bookmark";
    case CardLayer::bookmarkEdit: return "bookmark-edit";
    case CardLayer::inspectorPanel: return "inspector-panel";
    }
    return "";
}

bool RootView::isCardShown(CardLayer layer, const AppState& state) {
    switch (layer) {
    case CardLayer::passwordSavePrompt: return state.showPasswordSavePrompt.get().has_value();
    case CardLayer::passwordUpdatePrompt: return state.showPasswordUpdatePrompt.get().has_value();
    case CardLayer::newTabCustomize: return state.showNewTabCustomize.get();
    case CardLayer::shortcutEditor: return state.showShortcutsEditor.get();
    case CardLayer::newBookmark: return state.showNewBookmarkSheet.get();
    case CardLayer::bookmarkEdit: return state.editingBookmark.get().has_value();
    case CardLayer::inspectorPanel: return state.showInspectorPanel.get();
    }
    return false;
}

RootView::RootView(std::shared_ptr<AppState> appState, const WindowServices& services,
                   std::chrono::milliseconds toastDuration)
    : appState_(std::move(appState)), toastDuration_(toastDuration), browserView_(appState_, services) {
    set_name("root-view");
    FixedStyle::installForDisplay(capsuleStyle);
    set_child(browserView_);
    buildCardSlots();
    buildGuestBadge();
    buildToast();

    refresh_ = std::make_unique<ViewRefresh>(appState_->mainQueue(), [this] { refresh(); });
    auto schedule = [this] { refresh_->schedule(); };
    auto& s = *appState_;
    for (auto* signal : {&s.toastMessage.signalWillChange(), &s.showPasswordSavePrompt.signalWillChange(),
                         &s.showPasswordUpdatePrompt.signalWillChange(), &s.showNewTabCustomize.signalWillChange(),
                         &s.showShortcutsEditor.signalWillChange(), &s.showNewBookmarkSheet.signalWillChange(),
                         &s.editingBookmark.signalWillChange(), &s.showInspectorPanel.signalWillChange()})
        connections_.push_back(signal->connect(schedule));
    refresh();
}

RootView::~RootView() {
    for (auto& connection : connections_) connection.disconnect();
    for (auto& clearing : toastClearings_) clearing.disconnect();
}

void RootView::buildCardSlots() {
    for (auto layer : cardOrder) {
        auto& slot = cards_[slotIndex(layer)];
        slot.box.set_name(std::string("card-slot-") + std::string(cardName(layer)));
        slot.box.set_visible(false);
        if (layer == CardLayer::inspectorPanel) {
            slot.box.set_size_request(inspectorPanelWidth, inspectorPanelHeight);
            slot.box.set_halign(Gtk::Align::CENTER);
            slot.box.set_valign(Gtk::Align::CENTER);
            slot.box.add_css_class(inspectorFrameClass);
        }
        add_overlay(slot.box);
    }
}

void RootView::buildGuestBadge() {
    guestBadge_.set_name("guest-badge");
    guestBadge_.set_text("Guest");
    guestBadge_.add_css_class(ChromeStyle::card);
    guestBadge_.add_css_class(capsuleClass);
    guestBadge_.add_css_class(guestBadgeClass);
    guestBadge_.set_halign(Gtk::Align::END);
    guestBadge_.set_valign(Gtk::Align::START);
    guestBadge_.set_margin_top(8);
    guestBadge_.set_margin_end(12);
    guestBadge_.set_can_target(false);  // clicks reach the controls beneath
    guestBadge_.set_visible(appState_->isGuestWindow());
    add_overlay(guestBadge_);
}

void RootView::buildToast() {
    toast_.set_name("toast");
    toast_.set_transition_type(Gtk::RevealerTransitionType::CROSSFADE);
    toast_.set_halign(Gtk::Align::CENTER);
    toast_.set_valign(Gtk::Align::END);
    toast_.set_margin_bottom(24);
    // The revealer is the capsule's size and shape, and clips to it: the
    // toolkit picks inside a clipping widget's rounded box only, so a click
    // on the capsule's corners reaches the page.
    toast_.add_css_class(toastFrameClass);
    toast_.set_overflow(Gtk::Overflow::HIDDEN);
    toast_.set_reveal_child(false);
    toast_.set_can_target(false);
    toastLabel_.set_name("toast-message");
    toastLabel_.set_use_markup(false);
    toastLabel_.set_wrap(true);
    toastLabel_.add_css_class(ChromeStyle::card);
    toastLabel_.add_css_class(capsuleClass);
    toastLabel_.add_css_class(ChromeStyle::toast);
    toast_.set_child(toastLabel_);
    add_overlay(toast_);
}

void RootView::setCardFactory(CardLayer layer, CardFactory factory) {
    auto& slot = cards_[slotIndex(layer)];
    slot.factory = std::move(factory);
    // A card already asked for appears now that it can be made.
    if (!slot.card) refreshCards();
}

Gtk::Box& RootView::cardSlot(CardLayer layer) { return cards_[slotIndex(layer)].box; }

Gtk::Widget* RootView::presentedCard(CardLayer layer) { return cards_[slotIndex(layer)].card.get(); }

void RootView::refresh() {
    refreshCards();
    refreshToast();
}

void RootView::refreshCards() {
    for (auto layer : cardOrder) {
        auto& slot = cards_[slotIndex(layer)];
        const bool shown = isCardShown(layer, *appState_);
        // A card closing gives the focus back to where it was as it opened,
        // before it goes: a focused widget destroyed leaves the focus nowhere.
        if (shown && !slot.card && slot.factory) {
            browserView_.focusReturn().opened(slot.box);
            slot.card = slot.factory(*appState_);
            if (slot.card) slot.box.append(*slot.card);
        } else if (!shown && slot.card) {
            browserView_.focusReturn().closing(slot.box);
            slot.box.remove(*slot.card);
            slot.card.reset();
        }
        slot.box.set_visible(shown && slot.card);
    }
}

void RootView::refreshToast() {
    const auto& message = appState_->toastMessage.get();
    if (message) {
        toastLabel_.set_text(*message);
        if (!toastPresent_) {
            toastPresent_ = true;
            toast_.set_reveal_child(true);
            toast_.set_can_target(true);
            scheduleToastClearing();
        }
    } else if (toastPresent_) {
        toastPresent_ = false;
        // Fading out, and hidden after, it takes no click.
        toast_.set_reveal_child(false);
        toast_.set_can_target(false);
    }
}

void RootView::scheduleToastClearing() {
    const auto clearing = toastClearings_.emplace(toastClearings_.end());
    *clearing = Glib::signal_timeout().connect(
        [this, clearing] {
            toastClearings_.erase(clearing);
            appState_->toastMessage.set(std::nullopt);
            // Taken down now: a message set before the next redraw is a new
            // toast with a clearing of its own.
            refreshToast();
            return false;
        },
        static_cast<unsigned>(toastDuration_.count()));
}

// ---- the bookmark-edit card's bindings ---------------------------------------------

bool RootView::bookmarkEditPresented(const AppState& state) { return state.editingBookmark.get().has_value(); }

void RootView::setBookmarkEditPresented(AppState& state, bool presented) {
    if (!presented) state.editingBookmark.set(std::nullopt);
}

Bookmark RootView::editedBookmark(const AppState& state) {
    if (const auto& editing = state.editingBookmark.get()) return *editing;
    return Bookmark{};
}

void RootView::setEditedBookmark(AppState& state, const Bookmark& bookmark) { state.editingBookmark.set(bookmark); }

void RootView::deleteEditedBookmark(AppState& state) {
    if (const auto editing = state.editingBookmark.get()) state.deleteBookmark(*editing);
    state.editingBookmark.set(std::nullopt);
}

}  // namespace quorelle
