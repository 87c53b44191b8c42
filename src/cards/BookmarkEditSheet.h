#pragma once

#include "cards/BookmarkFolderPicker.h"
#include "cards/TwoWayBinding.h"
#include "model/Bookmark.h"
#include "window/FaviconView.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <sigc++/connection.h>

#include <functional>
#include <memory>
#include <vector>

namespace quorelle {

class AppState;
class FaviconImageCache;
class ThemedSurface;
class ViewRefresh;

// Edits one saved bookmark: title, address, folder and custom icon, with a
// preview of the icon the bookmark will show. The bookmark is the
// presenter's: every edit is written into `bookmark` at once, and the card
// stores it in the profile only on "Save". "Use Favicon" drops the custom
// icon; "Delete" runs `onDelete` (when given) and closes; "Cancel" closes.
// The card closes by writing false to `isPresented`.
//
// Nothing is validated or trimmed: titles, addresses and icon addresses are
// kept exactly as typed, and an emptied icon field means no custom icon.
//
// A column 400 points wide on the theme's toolbar colour. Over the browser's
// content it is as high as its container and scrolls vertically; in a window
// of its own the window opens as high as the whole column.
class BookmarkEditSheet : public Gtk::ScrolledWindow {
public:
    static constexpr double width = 400;
    static constexpr double previewSize = 32;

    BookmarkEditSheet(AppState& appState, FaviconImageCache& images, TwoWayBinding<bool> isPresented,
                      TwoWayBinding<Bookmark> bookmark, std::function<void()> onDelete = {});
    ~BookmarkEditSheet() override;

    Gtk::Label& heading() { return heading_; }
    FaviconView& preview() { return preview_; }
    Gtk::Entry& titleField() { return title_; }
    Gtk::Entry& urlField() { return url_; }
    BookmarkFolderPicker& folderPicker() { return folders_; }
    Gtk::Entry& customIconField() { return customIcon_; }
    Gtk::Button& saveButton() { return save_; }
    Gtk::Button& useFaviconButton() { return useFavicon_; }
    Gtk::Button& deleteButton() { return delete_; }
    Gtk::Button& cancelButton() { return cancel_; }
    const ThemedSurface& surface() const { return *surface_; }

    // Redraws from the bound bookmark and the profile at once; changes are
    // otherwise picked up on the main queue.
    void refresh();

private:
    void buildLayout();
    void connectFields();
    void edit(const std::function<void(Bookmark&)>& change);
    void showPreview(const Bookmark& bookmark);
    void save();
    void useFavicon();
    void deleteBookmark();
    void close();

    AppState& appState_;
    TwoWayBinding<bool> isPresented_;
    TwoWayBinding<Bookmark> bookmark_;
    std::function<void()> onDelete_;

    Gtk::Box column_;
    Gtk::Label heading_;
    Gtk::Box identityRow_;
    FaviconView preview_;
    Gtk::Box textColumn_;
    Gtk::Entry title_;
    Gtk::Entry url_;
    BookmarkFolderPicker folders_;
    Gtk::Entry customIcon_;
    Gtk::Box buttons_;
    Gtk::Button save_;
    Gtk::Button useFavicon_;
    Gtk::Button delete_;
    Gtk::Button cancel_;

    std::unique_ptr<ThemedSurface> surface_;
    std::unique_ptr<ViewRefresh> refresh_;
    sigc::connection titleChanged_;
    sigc::connection urlChanged_;
    sigc::connection customIconChanged_;
    std::vector<sigc::connection> connections_;
};

}  // namespace quorelle
