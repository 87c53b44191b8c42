#pragma once

#include "model/GLibPtr.h"

#include <gtk/gtk.h>
#include <gtkmm/widget.h>
#include <gtkmm/window.h>
#include <sigc++/connection.h>

#include <functional>
#include <map>
#include <memory>

namespace quorelle {

class MainQueue;
class ViewRefresh;

// Gives a window's keyboard focus back when something shown over its layout
// closes: a menu, a popover, a card or a panel, whether by Escape, one of
// its buttons or a click outside. The focus goes back to the widget that had
// it as that opened; when that widget is gone, off screen or no longer takes
// the focus, the window's fallback (the active tab's page) takes it.
//
// The toolkit does none of this. A closed popover, or a menu of the menu
// bar, leaves the focus on its hidden item or hands it to the scrolled row it
// hangs from; Escape leaves it on the menu bar's item; a card removed, or a
// panel hidden, while one of its widgets has the focus leaves the focus on
// that widget, off screen. Typed keys then reach nothing.
//
// Menus and popovers say nothing: the window's focus is watched, and any
// popover the focus enters is followed until it closes (the menu bar and its
// menus count as one menu). Cards and panels say when they open and close.
// The focus is given back only where it was lost: a widget that took it on
// purpose as the surface closed (the omnibox after "New Tab") keeps it.
class FocusReturn {
public:
    // `fallback` puts the focus where it goes when nothing else can have it.
    FocusReturn(MainQueue& mainQueue, std::function<void()> fallback);
    ~FocusReturn();
    FocusReturn(const FocusReturn&) = delete;
    FocusReturn& operator=(const FocusReturn&) = delete;

    // Watches `window`'s focus from now on: the window the layout is in.
    void watch(Gtk::Window& window);

    // A card or panel, all of it inside `area`, has come on screen: the
    // focus now (or, while a menu has it, where it was before the menu) is
    // where it goes back to.
    void opened(Gtk::Widget& area);
    // The same is about to go: call it before `area` is hidden or emptied.
    // Gives the focus back if it is inside `area` or lost.
    void closing(Gtk::Widget& area);

    // Whether typed keys now reach nothing, or a widget inside `area`.
    bool focusLostOrIn(Gtk::Widget& area) const;

private:
    // The window watched, while it is there, and its focus.
    GObjectPtr<GtkWindow> window() const;
    GtkWidget* focus() const;
    // A widget the focus can be given back to: still in the window, on
    // screen, and taking the focus, outside every menu.
    bool canHold(GtkWidget* widget) const;
    bool isLost(GtkWidget* focus) const;
    void onFocusMoved();
    void follow(GtkWidget* popover);
    void returnIfLost();
    void giveBack(GtkWidget* target, Gtk::Widget* closingArea = nullptr);
    static bool grabKeepingCaret(GtkWidget* target);

    std::function<void()> fallback_;
    std::unique_ptr<ViewRefresh> laterCheck_;
    GWeakPtr<GtkWindow> window_;
    sigc::connection focusWatch_;
    // The last widget that had the focus outside every menu.
    GWeakPtr<GtkWidget> settled_;
    // Popovers followed, each until it closes or is gone.
    std::map<GtkWidget*, sigc::connection> followed_;
    // Where the focus goes back to as each open card or panel closes.
    std::map<const Gtk::Widget*, GWeakPtr<GtkWidget>> remembered_;
};

}  // namespace quorelle
