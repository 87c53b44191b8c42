#pragma once

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/label.h>
#include <gtkmm/separator.h>
#include <sigc++/connection.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace quorelle {

class AppState;
class ViewRefresh;

// The drop-down card of suggestions under the toolbar while the user types
// in the omnibox field. It is an overlay child of the window layout, not a
// popover: a popover's grab would end the field's editing. It places itself
// 2 pt below the toolbar, inset by the toolbar's horizontal padding.
//
// The card shows while the state has suggestions switched on and is editing
// the omnibox, the window's omnibox focus flag is set (setFocused) and there
// is something to suggest; at most eight rows. A row never takes keyboard
// focus, and clicking it submits the row's text exactly as Return in the
// field does.
//
// The window layout hands over its focus flag on every change:
//   overlay.setFocused(view.omniboxFocused());
//   view.signalOmniboxFocusChanged().connect(
//       sigc::mem_fun(overlay, &OmniboxSuggestionsOverlay::setFocused));
class OmniboxSuggestionsOverlay : public Gtk::Box {
public:
    explicit OmniboxSuggestionsOverlay(std::shared_ptr<AppState> appState, bool isFocused = false);
    ~OmniboxSuggestionsOverlay() override;

    // The window's omnibox focus flag; the card redraws at once.
    void setFocused(bool isFocused);
    bool isFocused() const { return focused_; }

    // What the card lists now, top to bottom; empty while it is hidden.
    const std::vector<std::string>& shownRows() const { return shownRows_; }
    bool isCardShown() const { return !shownRows_.empty(); }
    Gtk::Box& card() { return card_; }
    Gtk::Button& rowButton(std::size_t index) { return rows_.at(index)->button; }
    bool rowHasDivider(std::size_t index) const { return rows_.at(index)->divider.get_visible(); }

    // Redraws from the state at once; changes are otherwise picked up on the
    // main queue.
    void refresh();

private:
    struct Row {
        Gtk::Box box{Gtk::Orientation::VERTICAL};
        Gtk::Button button;
        Gtk::Label label;
        Gtk::Separator divider{Gtk::Orientation::HORIZONTAL};
    };

    void rebuildRows(const std::vector<std::string>& rows);
    std::unique_ptr<Row> makeRow(const std::string& text, bool last);
    void submit(const std::string& text);
    void updateStyle();

    std::shared_ptr<AppState> appState_;
    bool focused_;
    Gtk::Box card_{Gtk::Orientation::VERTICAL};
    std::vector<std::unique_ptr<Row>> rows_;
    std::vector<std::string> shownRows_;
    Glib::RefPtr<Gtk::CssProvider> style_;
    std::string styleSheet_;
    std::unique_ptr<ViewRefresh> refresh_;
    std::vector<sigc::connection> connections_;
};

}  // namespace quorelle
