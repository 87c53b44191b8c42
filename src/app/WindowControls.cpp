#include "app/WindowControls.h"

#include "app/BrowserServices.h"
#include "app/RootView.h"
#include "cards/BookmarkEditSheet.h"
#include "cards/InspectorPanel.h"
#include "cards/NewBookmarkSheet.h"
#include "cards/NewTabCustomizeOverlay.h"
#include "cards/PasswordSavePromptCard.h"
#include "cards/PasswordUpdatePromptCard.h"
#include "cards/ShortcutEditorOverlay.h"
#include "cards/TwoWayBinding.h"
#include "state/AppState.h"
#include "window/BookmarksBar.h"
#include "window/BrowserMenu.h"
#include "window/ProfileMenu.h"
#include "window/Sidebar.h"

namespace quorelle {
namespace {

// The bookmarks bar edits a working copy of its own in the same sheet the
// root view uses for the state's edited bookmark.
BookmarksBar::EditSheetFactory barEditSheet(FaviconImageCache& images) {
    return [&images](AppState& state, BookmarksBar::EditSheetBinding binding) -> std::unique_ptr<Gtk::Widget> {
        return std::make_unique<BookmarkEditSheet>(
            state, images, TwoWayBinding<bool>{binding.isPresented, [set = binding.setPresented](const bool& v) { set(v); }},
            TwoWayBinding<Bookmark>{binding.bookmark, binding.setBookmark}, binding.onDelete);
    };
}

RootView::CardFactory rootEditSheet(FaviconImageCache& images) {
    return [&images](AppState& s) -> std::unique_ptr<Gtk::Widget> {
        return std::make_unique<BookmarkEditSheet>(
            s, images,
            TwoWayBinding<bool>{[&s] { return RootView::bookmarkEditPresented(s); },
                                [&s](const bool& v) { RootView::setBookmarkEditPresented(s, v); }},
            TwoWayBinding<Bookmark>{[&s] { return RootView::editedBookmark(s); },
                                    [&s](const Bookmark& b) { RootView::setEditedBookmark(s, b); },
                                    &s.editingBookmark.signalWillChange()},
            [&s] { RootView::deleteEditedBookmark(s); });
    };
}

}  // namespace

WindowControls::WindowControls(std::shared_ptr<AppState> appState, RootView& root, BrowserServices& services)
    : bookmarksBar_(std::make_unique<BookmarksBar>(appState, services.faviconImages, barEditSheet(services.faviconImages))),
      leftSidebar_(std::make_unique<Sidebar>(appState)),
      rightSidebar_(std::make_unique<Sidebar>(appState)) {
    auto& view = root.browserView();
    view.fillBookmarksBar(*bookmarksBar_);
    view.fillSidebars(*leftSidebar_, *rightSidebar_);
    for (Sidebar* sidebar : {leftSidebar_.get(), rightSidebar_.get()})
        sidebar->signalRowOpened().connect([&view] { view.focusActiveTab(); });
    browserMenu_ = std::make_unique<BrowserMenu>(appState, view.toolbar().browserMenuButton());
    browserMenu_->signalNewTabOpened().connect([&view] { view.toolbar().omnibox().focus(); });
    profileMenu_ = std::make_unique<ProfileMenu>(appState, services.faviconImages);
    view.toolbar().setProfileMenuPopover(*profileMenu_);
    registerCards(root, services);
}

WindowControls::~WindowControls() = default;

void WindowControls::registerCards(RootView& root, BrowserServices& services) {
    FaviconImageCache& images = services.faviconImages;
    root.setCardFactory(CardLayer::passwordSavePrompt, PasswordSavePromptCard::cardFactory());
    root.setCardFactory(CardLayer::passwordUpdatePrompt, PasswordUpdatePromptCard::cardFactory());
    root.setCardFactory(CardLayer::newTabCustomize, [](AppState& s) -> std::unique_ptr<Gtk::Widget> {
        return std::make_unique<NewTabCustomizeOverlay>(s, bindFlag(s.showNewTabCustomize));
    });
    root.setCardFactory(CardLayer::shortcutEditor, [&images](AppState& s) -> std::unique_ptr<Gtk::Widget> {
        return std::make_unique<ShortcutEditorOverlay>(s, images, bindFlag(s.showShortcutsEditor));
    });
    root.setCardFactory(CardLayer::newBookmark, [](AppState& s) -> std::unique_ptr<Gtk::Widget> {
        return std::make_unique<NewBookmarkSheet>(s, bindFlag(s.showNewBookmarkSheet));
    });
    root.setCardFactory(CardLayer::bookmarkEdit, rootEditSheet(images));
    root.setCardFactory(CardLayer::inspectorPanel, InspectorPanel::cardFactory(services.inspector, services.webViews));
}

}  // namespace quorelle
