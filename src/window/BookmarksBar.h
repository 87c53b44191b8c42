#pragma once

#include "model/Bookmark.h"
#include "model/BookmarkFolder.h"
#include "model/ProfileData.h"
#include "model/Uuid.h"
#include "window/ContentFocusScroller.h"

#include <gtkmm/box.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/window.h>
#include <sigc++/connection.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quorelle {

class AppState;
class BookmarkChip;
class BookmarkFolderMenu;
class BookmarkFolderNameDialog;
class FaviconImageCache;
class SidewaysWheel;
class ViewRefresh;

// The strip under the toolbar: one chip per top-level bookmark (the first
// 24, in stored order), then one pull-down per bookmark folder (by sort
// order). The row scrolls sideways without scroll bars, also under a
// vertical mouse wheel; nothing in the bar takes the keyboard focus. The
// strip's colour, height and bottom line come from the window's style sheet
// (vx-bookmarks-bar). It hides itself while the profile's settings switch
// the bar off.
//
// The bar carries its own editing: the chips' and folders' menus, a modal
// sheet that edits one bookmark, and a small alert that names a new folder
// or renames one. That editing state is the bar's alone; every change to
// bookmarks and folders is one operation of the window's state, and the
// bar redraws from the state's announcements on the main queue.
class BookmarksBar : public Gtk::Box {
public:
    static constexpr std::size_t rootBookmarkLimit = 24;
    static constexpr double itemSpacing = 2;
    static constexpr const char* editSheetTitle = "Edit Bookmark";

    // What the edit sheet works on: whether it is shown (false closes it),
    // the bar's working copy of the bookmark, and what "Delete" does (it
    // deletes the bookmark as the working copy holds it then).
    struct EditSheetBinding {
        std::function<bool()> isPresented;
        std::function<void(bool)> setPresented;
        std::function<Bookmark()> bookmark;
        std::function<void(const Bookmark&)> setBookmark;
        std::function<void()> onDelete;
    };
    // Makes the sheet's content for one presentation. A Gtk::Window is shown
    // as it is; any other widget is put in a modal window of the bar's,
    // titled as the sheet is headed.
    using EditSheetFactory = std::function<std::unique_ptr<Gtk::Widget>(AppState&, EditSheetBinding)>;

    // Without an edit sheet factory, "Edit" hands the bookmark to the state's
    // own bookmark editor (editingBookmark) instead.
    BookmarksBar(std::shared_ptr<AppState> appState, FaviconImageCache& images, EditSheetFactory editSheet = {});
    ~BookmarksBar() override;

    // The bookmarks without a folder, in stored order, at most 24.
    static std::vector<Bookmark> rootBookmarks(const ProfileData& data);
    // The bookmarks in one folder, in stored order.
    static std::vector<Bookmark> bookmarksIn(const ProfileData& data, const Uuid& folderID);

    // Redraws from the state at once; changes are otherwise picked up on the
    // main queue.
    void refresh();

    Gtk::ScrolledWindow& scroller() { return scroller_; }
    Gtk::Box& row() { return row_; }
    std::vector<BookmarkChip*> chips() const;
    std::vector<BookmarkFolderMenu*> folderMenus() const;

    // ---- the bookmark being edited ------------------------------------------
    const Bookmark& draftBookmark() const { return draftBookmark_; }
    bool showEdit() const { return showEdit_; }
    // Makes `bookmark` the working copy and presents the edit sheet.
    void editBookmark(const Bookmark& bookmark);
    void setShowEdit(bool shown);
    // The sheet's window while it is presented.
    Gtk::Window* editSheet() const { return showEdit_ ? sheetWindow_ : nullptr; }

    // ---- the folder-name alert -------------------------------------------------
    bool showNewFolderPrompt() const { return showNewFolderPrompt_; }
    const std::string& newFolderName() const { return newFolderName_; }
    const std::optional<Uuid>& renamingFolderID() const { return renamingFolderID_; }
    void promptNewFolder();
    void promptRenameFolder(const BookmarkFolder& folder);
    // The alert's two buttons.
    void confirmFolderName();
    void cancelFolderName();
    BookmarkFolderNameDialog* folderNameDialog() const { return showNewFolderPrompt_ ? dialog_.get() : nullptr; }

private:
    void rebuild(const ProfileData& data);
    void clearRow();
    void presentEditSheet();
    void dismissEditSheet();
    void dropRetiredSheets();
    void showFolderPrompt();
    void closeFolderPrompt();
    Gtk::Window* parentWindow();

    std::shared_ptr<AppState> appState_;
    FaviconImageCache& images_;
    EditSheetFactory editSheetFactory_;
    ContentFocusScroller scroller_;
    Gtk::Box row_;
    std::unique_ptr<SidewaysWheel> wheel_;
    std::vector<std::unique_ptr<BookmarkChip>> chips_;
    std::vector<std::unique_ptr<BookmarkFolderMenu>> folders_;
    std::optional<std::vector<Bookmark>> drawnBookmarks_;
    std::optional<std::vector<BookmarkFolder>> drawnFolders_;

    Bookmark draftBookmark_;
    bool showEdit_ = false;
    std::unique_ptr<Gtk::Widget> sheetContent_;
    std::unique_ptr<Gtk::Window> sheetFrame_;  // only when the content is not a window itself
    Gtk::Window* sheetWindow_ = nullptr;
    // Closed sheets, kept until the next presentation: a sheet usually closes
    // from one of its own buttons' handlers.
    struct RetiredSheet {
        std::unique_ptr<Gtk::Widget> content;
        std::unique_ptr<Gtk::Window> frame;
    };
    std::vector<RetiredSheet> retired_;

    bool showNewFolderPrompt_ = false;
    std::string newFolderName_;
    std::optional<Uuid> renamingFolderID_;
    std::unique_ptr<BookmarkFolderNameDialog> dialog_;

    std::unique_ptr<ViewRefresh> refresh_;
    std::vector<sigc::connection> connections_;
};

}  // namespace quorelle
