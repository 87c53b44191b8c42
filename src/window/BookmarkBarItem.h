#pragma once

#include <glibmm/ustring.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/label.h>

#include <string>
#include <string_view>

namespace quorelle {

// What the bookmarks bar's items (a bookmark's chip, a folder's menu) share:
// their sizes, a flat button with the item's own padding, and a title on one
// line that shows the user's text as written.
struct BookmarkBarItem {
    BookmarkBarItem() = delete;

    static constexpr double titleFontSize = 12;
    static constexpr double contentSpacing = 5;
    static constexpr double paddingH = 10;
    static constexpr double paddingV = 5;

    // The item's button: no bezel, exactly the item's padding, a faint
    // highlight under the pointer and a stronger one while pressed or open.
    static Glib::RefPtr<Gtk::CssProvider> buttonStyle();
    // Names the label and shows `text` in it, in the items' title type.
    static void prepareTitle(Gtk::Label& title, const char* name, const std::string& text);
    // A menu label showing `text` as written (user text has no mnemonics).
    static Glib::ustring plainMenuLabel(std::string_view text);
};

}  // namespace quorelle
