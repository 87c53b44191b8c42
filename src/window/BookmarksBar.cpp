#include "window/BookmarksBar.h"

#include "state/AppState.h"
#include "web/SortOrder.h"
#include "window/BookmarkChip.h"
#include "window/BookmarkFolderMenu.h"
#include "window/BookmarkFolderNameDialog.h"
#include "window/ChromeMetrics.h"
#include "window/ChromeStyle.h"
#include "window/MenuCommands.h"
#include "window/SidewaysWheel.h"
#include "window/ViewRefresh.h"

#include <utility>

namespace quorelle {

std::vector<Bookmark> BookmarksBar::rootBookmarks(const ProfileData& data) {
    std::vector<Bookmark> out;
    for (const auto& bookmark : data.bookmarks) {
        if (out.size() == rootBookmarkLimit) break;
        if (!bookmark.folderID) out.push_back(bookmark);
    }
    return out;
}

std::vector<Bookmark> BookmarksBar::bookmarksIn(const ProfileData& data, const Uuid& folderID) {
    std::vector<Bookmark> out;
    for (const auto& bookmark : data.bookmarks)
        if (bookmark.folderID == folderID) out.push_back(bookmark);
    return out;
}

BookmarksBar::BookmarksBar(std::shared_ptr<AppState> appState, FaviconImageCache& images, EditSheetFactory editSheet)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 0),
      appState_(std::move(appState)),
      images_(images),
      editSheetFactory_(std::move(editSheet)),
      row_(Gtk::Orientation::HORIZONTAL, ChromeMetrics::px(itemSpacing)),
      refresh_(std::make_unique<ViewRefresh>(appState_->mainQueue(), [this] { refresh(); })) {
    set_name("bookmarks-bar");
    add_css_class(ChromeStyle::bookmarksBar);
    set_size_request(-1, ChromeMetrics::px(ChromeMetrics::bookmarksBarHeight));
    set_hexpand(true);

    row_.set_name("bookmarks-bar-row");
    row_.set_valign(Gtk::Align::CENTER);
    scroller_.set_policy(Gtk::PolicyType::EXTERNAL, Gtk::PolicyType::NEVER);
    scroller_.set_hexpand(true);
    scroller_.set_valign(Gtk::Align::FILL);
    scroller_.set_child(row_);
    append(scroller_);
    wheel_ = std::make_unique<SidewaysWheel>(scroller_);

    connections_.push_back(appState_->profileData.signalWillChange().connect([this] { refresh_->schedule(); }));
    refresh();
}

BookmarksBar::~BookmarksBar() {
    for (auto& connection : connections_) connection.disconnect();
    if (dialog_) dialog_->hide();
    dialog_.reset();
    dismissEditSheet();
    dropRetiredSheets();
    clearRow();
}

void BookmarksBar::refresh() {
    const auto& data = appState_->profileData.get();
    set_visible(data.settings.showBookmarksBar);
    // Most changes of the profile (history, settings) leave the bar as it is.
    if (drawnBookmarks_ == data.bookmarks && drawnFolders_ == data.bookmarkFolders) return;
    rebuild(data);
    drawnBookmarks_ = data.bookmarks;
    drawnFolders_ = data.bookmarkFolders;
}

void BookmarksBar::clearRow() {
    for (auto& chip : chips_) row_.remove(*chip);
    for (auto& folder : folders_) row_.remove(*folder);
    chips_.clear();
    folders_.clear();
}

void BookmarksBar::rebuild(const ProfileData& data) {
    clearRow();
    const auto folders = SortOrder::sorted(data.bookmarkFolders);
    for (auto& bookmark : rootBookmarks(data)) {
        chips_.push_back(std::make_unique<BookmarkChip>(*appState_, std::move(bookmark), folders, images_,
                                                        [this](const Bookmark& b) { editBookmark(b); }));
        row_.append(*chips_.back());
    }
    const BookmarkFolderMenu::Callbacks callbacks{[this](const BookmarkFolder& f) { promptRenameFolder(f); },
                                                  [this] { promptNewFolder(); }};
    for (const auto& folder : folders) {
        folders_.push_back(
            std::make_unique<BookmarkFolderMenu>(*appState_, folder, bookmarksIn(data, folder.id), callbacks));
        row_.append(*folders_.back());
    }
}

std::vector<BookmarkChip*> BookmarksBar::chips() const {
    std::vector<BookmarkChip*> out;
    for (const auto& chip : chips_) out.push_back(chip.get());
    return out;
}

std::vector<BookmarkFolderMenu*> BookmarksBar::folderMenus() const {
    std::vector<BookmarkFolderMenu*> out;
    for (const auto& folder : folders_) out.push_back(folder.get());
    return out;
}

Gtk::Window* BookmarksBar::parentWindow() { return dynamic_cast<Gtk::Window*>(get_root()); }

// ---- edit sheet ---------------------------------------------------------------

void BookmarksBar::editBookmark(const Bookmark& bookmark) {
    draftBookmark_ = bookmark;
    if (!editSheetFactory_) {
        appState_->editingBookmark.set(draftBookmark_);
        return;
    }
    setShowEdit(true);
}

void BookmarksBar::setShowEdit(bool shown) {
    if (shown == showEdit_) return;
    showEdit_ = shown;
    if (shown)
        presentEditSheet();
    else
        dismissEditSheet();
}

void BookmarksBar::presentEditSheet() {
    dropRetiredSheets();
    EditSheetBinding binding{
        [this] { return showEdit_; },
        [this](bool shown) { setShowEdit(shown); },
        [this] { return draftBookmark_; },
        [this](const Bookmark& bookmark) { draftBookmark_ = bookmark; },
        // Deletes what the working copy holds when "Delete" is pressed.
        [this] { appState_->deleteBookmark(draftBookmark_); },
    };
    sheetContent_ = editSheetFactory_ ? editSheetFactory_(*appState_, std::move(binding)) : nullptr;
    if (!sheetContent_) {
        showEdit_ = false;
        return;
    }
    sheetWindow_ = dynamic_cast<Gtk::Window*>(sheetContent_.get());
    if (!sheetWindow_) {
        sheetFrame_ = std::make_unique<Gtk::Window>();
        sheetFrame_->set_title(editSheetTitle);
        sheetFrame_->set_child(*sheetContent_);
        sheetWindow_ = sheetFrame_.get();
    }
    sheetWindow_->set_modal(true);
    MenuCommands::forwardApplicationShortcuts(*sheetWindow_);
    if (auto* parent = parentWindow()) sheetWindow_->set_transient_for(*parent);
    // Closing the window is the same as the sheet closing itself.
    connections_.push_back(sheetWindow_->signal_close_request().connect(
        [this] {
            setShowEdit(false);
            return true;
        },
        false));
    sheetWindow_->present();
}

void BookmarksBar::dismissEditSheet() {
    if (!sheetWindow_) return;
    sheetWindow_->hide();
    retired_.push_back({std::move(sheetContent_), std::move(sheetFrame_)});
    sheetWindow_ = nullptr;
}

void BookmarksBar::dropRetiredSheets() {
    for (auto& sheet : retired_) {
        if (sheet.frame) sheet.frame->unset_child();
        sheet.content.reset();
        sheet.frame.reset();
    }
    retired_.clear();
}

// ---- folder-name alert --------------------------------------------------------

void BookmarksBar::promptNewFolder() { showFolderPrompt(); }

void BookmarksBar::promptRenameFolder(const BookmarkFolder& folder) {
    renamingFolderID_ = folder.id;
    newFolderName_ = folder.name;
    showFolderPrompt();
}

void BookmarksBar::showFolderPrompt() {
    if (dialog_) dialog_->hide();
    showNewFolderPrompt_ = true;
    using Mode = BookmarkFolderNameDialog::Mode;
    const auto mode = renamingFolderID_ ? Mode::rename : Mode::create;
    dialog_ = std::make_unique<BookmarkFolderNameDialog>(mode, newFolderName_);
    MenuCommands::forwardApplicationShortcuts(*dialog_);
    if (auto* parent = parentWindow()) dialog_->set_transient_for(*parent);
    dialog_->signalNameChanged().connect([this](const std::string& name) { newFolderName_ = name; });
    dialog_->signal_response().connect([this](int response) {
        if (response == static_cast<int>(Gtk::ResponseType::OK))
            confirmFolderName();
        else
            cancelFolderName();
    });
    dialog_->present();
}

void BookmarksBar::confirmFolderName() {
    // Spaces count as a name; only an empty field does nothing.
    if (!newFolderName_.empty()) {
        const std::string name = newFolderName_;
        if (renamingFolderID_)
            appState_->renameBookmarkFolder(*renamingFolderID_, name);
        else
            appState_->createBookmarkFolder(name);
    }
    closeFolderPrompt();
}

void BookmarksBar::cancelFolderName() { closeFolderPrompt(); }

void BookmarksBar::closeFolderPrompt() {
    newFolderName_.clear();
    renamingFolderID_.reset();
    showNewFolderPrompt_ = false;
    // The dialog may be answering from its own handler; it is dropped when
    // the next alert opens.
    if (dialog_) dialog_->hide();
}

}  // namespace quorelle
