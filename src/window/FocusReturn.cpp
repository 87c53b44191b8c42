#include "window/FocusReturn.h"

#include "window/ViewRefresh.h"

#include <gtkmm/popover.h>

#include <utility>

namespace quorelle {
namespace {

// The nearest popover or menu bar holding `widget`, or the widget itself
// when it is one: a popover menu's items and a menu bar's items never keep
// the focus once the menu is done with.
GtkWidget* menuAround(GtkWidget* widget) {
    for (GtkWidget* at = widget; at; at = gtk_widget_get_parent(at))
        if (GTK_IS_POPOVER(at) || GTK_IS_POPOVER_MENU_BAR(at)) return at;
    return nullptr;
}

bool isInside(GtkWidget* widget, Gtk::Widget& area) {
    return widget && (widget == area.gobj() || gtk_widget_is_ancestor(widget, area.gobj()));
}

}  // namespace

FocusReturn::FocusReturn(MainQueue& mainQueue, std::function<void()> fallback)
    : fallback_(std::move(fallback)),
      laterCheck_(std::make_unique<ViewRefresh>(mainQueue, [this] { returnIfLost(); })) {}

FocusReturn::~FocusReturn() {
    focusWatch_.disconnect();
    for (auto& [popover, connection] : followed_) connection.disconnect();
}

void FocusReturn::watch(Gtk::Window& window) {
    if (window_.get().get() == window.gobj() && focusWatch_.connected()) return;
    focusWatch_.disconnect();
    window_.set(window.gobj());
    focusWatch_ = window.property_focus_widget().signal_changed().connect([this] { onFocusMoved(); });
    onFocusMoved();
}

GObjectPtr<GtkWindow> FocusReturn::window() const {
    return focusWatch_.connected() ? window_.get() : GObjectPtr<GtkWindow>();
}

GtkWidget* FocusReturn::focus() const {
    const auto watched = window();
    return watched ? gtk_window_get_focus(watched.get()) : nullptr;
}

bool FocusReturn::canHold(GtkWidget* widget) const {
    const auto watched = window();
    return widget && watched && gtk_widget_get_root(widget) == GTK_ROOT(watched.get()) &&
           gtk_widget_get_mapped(widget) && gtk_widget_is_sensitive(widget) && gtk_widget_get_focusable(widget) &&
           !menuAround(widget);
}

// Lost: on nothing, on a widget off screen, or on the menu bar itself with
// none of its menus open (where Escape from a menu leaves it). A widget in a
// popover that is open still has it.
bool FocusReturn::isLost(GtkWidget* widget) const {
    const auto watched = window();
    if (!widget || !watched || !gtk_widget_get_mapped(widget) || gtk_widget_get_root(widget) != GTK_ROOT(watched.get()))
        return true;
    GtkWidget* menu = menuAround(widget);
    return menu && GTK_IS_POPOVER_MENU_BAR(menu);
}

bool FocusReturn::focusLostOrIn(Gtk::Widget& area) const {
    GtkWidget* now = focus();
    return isLost(now) || isInside(now, area);
}

void FocusReturn::onFocusMoved() {
    GtkWidget* now = focus();
    GtkWidget* menu = menuAround(now);
    if (!menu) {
        // Nowhere counts too: a menu opened from there gives the focus to
        // the page as it closes.
        settled_.set(now);
    } else if (GTK_IS_POPOVER(menu)) {
        follow(menu);
    } else {
        // On the menu bar itself: a menu about to open takes the focus on,
        // while Escape from a menu leaves it here for good.
        laterCheck_->schedule();
    }
}

void FocusReturn::follow(GtkWidget* popover) {
    std::erase_if(followed_, [](const auto& entry) { return !entry.second.connected(); });
    if (followed_.contains(popover)) return;
    auto* wrapped = Glib::wrap(GTK_POPOVER(popover));
    // Given back at once, before anything the menu's choice does; looked at
    // again later, as the menu bar may put the focus on its item after.
    followed_[popover] = wrapped->signal_closed().connect([this] {
        returnIfLost();
        laterCheck_->schedule();
    });
}

void FocusReturn::returnIfLost() {
    if (!isLost(focus())) return;
    const auto settled = settled_.get();
    giveBack(settled.get());
}

void FocusReturn::opened(Gtk::Widget& area) {
    GtkWidget* now = focus();
    const auto settled = settled_.get();
    GtkWidget* back = canHold(now) ? now : settled.get();
    remembered_[&area].set(canHold(back) ? back : nullptr);
}

void FocusReturn::closing(Gtk::Widget& area) {
    GObjectPtr<GtkWidget> target;
    if (auto found = remembered_.find(&area); found != remembered_.end()) {
        target = found->second.get();
        remembered_.erase(found);
    }
    if (!focusLostOrIn(area)) return;
    giveBack(target.get(), &area);
}

void FocusReturn::giveBack(GtkWidget* target, Gtk::Widget* closingArea) {
    if (!window()) return;
    if (canHold(target) && !(closingArea && isInside(target, *closingArea)) && grabKeepingCaret(target)) return;
    if (fallback_) fallback_();
}

// A text field gets the focus back as it lost it: its caret where it was,
// what was selected still selected. Given the focus the usual way, it
// selects all of its text, which the next key typed would replace. (A field
// that starts over as it takes the focus, as the omnibox does, still does.)
bool FocusReturn::grabKeepingCaret(GtkWidget* target) {
    if (GTK_IS_TEXT(target)) return gtk_text_grab_focus_without_selecting(GTK_TEXT(target));
    return gtk_widget_grab_focus(target);
}

}  // namespace quorelle
