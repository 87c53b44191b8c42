// Every dialog, sheet, prompt and card the browser shows, closed each way
// the user can close it: its buttons clicked, Escape pressed where the
// toolkit's dialogs take it, the window manager's close for those in a
// window of their own, a tap on the dim layer for the cards that have one.
// Each opens over a page the user clicked, and what is typed after it closed
// reaches that page. Nothing may log a warning or a critical on the way, nor
// at the quit after them.
#include "input/TypingTest.h"
#include "support/CloseBy.h"
#include "support/LogWatch.h"

#include "cards/BookmarkEditSheet.h"
#include "cards/InspectorPanel.h"
#include "cards/NewBookmarkSheet.h"
#include "cards/NewTabCustomizeOverlay.h"
#include "cards/PasswordSavePromptCard.h"
#include "cards/PasswordUpdatePromptCard.h"
#include "cards/ShortcutEditorOverlay.h"
#include "window/BookmarkFolderMenu.h"
#include "window/BookmarkFolderNameDialog.h"
#include "window/BookmarksBar.h"
#include "window/BrowserMenu.h"
#include "window/CreateProfileSheet.h"
#include "window/FileDialogs.h"
#include "window/PasswordPromptDialog.h"

#include <gtk/gtk.h>
#include <giomm/file.h>
#include <glibmm/fileutils.h>
#include <gtkmm/button.h>

#include <functional>
#include <string>
#include <vector>

namespace quorelle::testing {
namespace {

// A visible top-level window of the toolkit's that `matches`, if any.
Gtk::Window* shownWindow(const std::function<bool(Gtk::Window&)>& matches) {
    for (Gtk::Window* window : Gtk::Window::list_toplevels())
        if (window->get_visible() && matches(*window)) return window;
    return nullptr;
}

// The button of a toolkit dialog that answers `response`.
Gtk::Widget* responseButton(Gtk::Window& dialog, Gtk::ResponseType response) {
    GtkWidget* button = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog.gobj()), static_cast<int>(response));
    return button ? Glib::wrap(button) : nullptr;
}

class ClosingEveryWayTest : public TypingTest {
protected:
    void SetUp() override { show(pageA); }

    BookmarksBar& bar() { return mainWindow().controls().bookmarksBar(); }
    RootView& root() { return mainWindow().rootView(); }

    // What is typed after `what` closed `way` reaches the page.
    void expectKeysInPage(const std::string& what, const std::string& way) {
        EXPECT_TRUE(typedIntoPage(pageA)) << what << " closed by " << way << " left the focus on " << focusName();
    }
    // Closes `window` (a dialog or sheet) by `way` once it shows; `button` is
    // the button of that way.
    void close(Gtk::Window& window, CloseBy way, Gtk::Widget* button = nullptr) {
        ASSERT_TRUE(runUntil([&] { return window.get_mapped(); })) << nameOf(way);
        switch (way) {
            case CloseBy::button: ASSERT_NE(button, nullptr); return click(*button);
            case CloseBy::escape: ASSERT_TRUE(runUntil([&] { return pressAccelerator(window, "Escape"); })); return;
            case CloseBy::windowManager: ASSERT_TRUE(runUntil([&] { return closeAsWindowManager(window); })); return;
        }
    }

    // ---- dialogs and sheets in windows of their own -------------------------------

    // The bookmarks bar's folder-name alert, for a new folder and for a
    // rename: either button, Escape and the window manager, each followed
    // by the next alert.
    void closeFolderNameDialogs() {
        state->createBookmarkFolder("Reading");
        settle();
        ASSERT_EQ(bar().folderMenus().size(), 1u);
        const BookmarkFolder reading = bar().folderMenus().front()->folder();
        auto open = [&](bool rename) -> BookmarkFolderNameDialog& {
            if (rename)
                bar().promptRenameFolder(reading);
            else
                bar().promptNewFolder();
            return *bar().folderNameDialog();
        };
        for (auto way : {CloseBy::button, CloseBy::escape, CloseBy::windowManager})
            for (bool rename : {false, true}) {
                clickPage();
                auto& dialog = open(rename);
                close(dialog, way, dialog.cancelButton());
                ASSERT_TRUE(runUntil([&] { return !bar().showNewFolderPrompt() && !dialog.get_visible(); }))
                    << nameOf(way) << (rename ? " (rename)" : " (new folder)");
                expectKeysInPage("the folder-name alert", nameOf(way));
            }
        auto& created = open(false);
        created.entry().set_text("Later");
        close(created, CloseBy::button, created.confirmButton());
        ASSERT_TRUE(runUntil([&] { return state->profileData.get().bookmarkFolders.size() == 2u; }));
        auto& renamed = open(true);
        renamed.entry().set_text("Read");
        close(renamed, CloseBy::button, renamed.confirmButton());
        ASSERT_TRUE(runUntil([&] { return state->profileData.get().bookmarkFolders.front().name == "Read"; }));
        settle();
    }

    // The bar's bookmark sheet, in a window of its own: Save, Delete,
    // Cancel and the window manager.
    void closeBarEditSheet() {
        state->createBookmark("Example", "https://a.example/", std::nullopt, std::nullopt);
        state->createBookmark("Other", "https://b.example/", std::nullopt, std::nullopt);
        settle();
        using Pick = Gtk::Button& (BookmarkEditSheet::*)();
        const std::pair<CloseBy, Pick> ways[] = {{CloseBy::button, &BookmarkEditSheet::saveButton},
                                                 {CloseBy::button, &BookmarkEditSheet::cancelButton},
                                                 {CloseBy::windowManager, nullptr},
                                                 {CloseBy::button, &BookmarkEditSheet::deleteButton}};
        for (const auto& [way, button] : ways) {
            clickPage();
            bar().editBookmark(state->profileData.get().bookmarks.back());
            Gtk::Window* window = bar().editSheet();
            ASSERT_NE(window, nullptr);
            auto* sheet = dynamic_cast<BookmarkEditSheet*>(window->get_child());
            ASSERT_NE(sheet, nullptr);
            close(*window, way, button ? &(sheet->*button)() : nullptr);
            ASSERT_TRUE(runUntil([&] { return !bar().showEdit() && !window->get_visible(); })) << nameOf(way);
            expectKeysInPage("the bookmark window", nameOf(way));
        }
        EXPECT_EQ(state->profileData.get().bookmarks.size(), 1u);
    }

    // The owner's password prompt: Cancel, Unlock and the window manager.
    // Each way has a prompt of its own: the toolkit drops the first click in
    // a window shown again after a click hid it (under Xvfb, without a window
    // manager), which is not what is looked at here.
    void closePasswordPrompt() {
        using Pick = Gtk::Button& (PasswordPromptDialog::*)();
        const std::pair<CloseBy, Pick> ways[] = {{CloseBy::button, &PasswordPromptDialog::cancelButton},
                                                 {CloseBy::button, &PasswordPromptDialog::unlockButton},
                                                 {CloseBy::windowManager, nullptr}};
        for (const auto& [way, button] : ways) {
            clickPage();
            PasswordPromptDialog prompt([this]() -> Gtk::Window* { return &mainWindow(); });
            bool answered = false;
            prompt.ask({"Quorelle wants to show your saved passwords."}, [&](std::string*) {
                answered = true;
                prompt.close();
            });
            close(prompt.window(), way, button ? &(prompt.*button)() : nullptr);
            ASSERT_TRUE(runUntil([&] { return answered && !prompt.window().get_visible(); })) << nameOf(way);
            expectKeysInPage("the password prompt", nameOf(way));
        }
    }

    // A page's confirm() and prompt(): Cancel, OK, Escape and the window
    // manager.
    void closeScriptDialogs() {
        GtkWidget* page = GTK_WIDGET(root().gobj());
        for (auto kind : {IScriptDialogs::Kind::confirm, IScriptDialogs::Kind::prompt})
            for (auto [way, response] : {std::pair{CloseBy::button, Gtk::ResponseType::CANCEL},
                                         std::pair{CloseBy::button, Gtk::ResponseType::OK},
                                         std::pair{CloseBy::escape, Gtk::ResponseType::NONE},
                                         std::pair{CloseBy::windowManager, Gtk::ResponseType::NONE}}) {
                clickPage();
                bool answered = false;
                scriptDialogs_.ask(page, kind, "Leave this page?", "text", [&](auto) { answered = true; });
                Gtk::Window* dialog = nullptr;
                ASSERT_TRUE(runUntil([&] {
                    return (dialog = shownWindow([](Gtk::Window& w) { return w.get_name() == "script-dialog"; }));
                }));
                close(*dialog, way, responseButton(*dialog, response));
                ASSERT_TRUE(runUntil([&] { return answered; })) << nameOf(way);
                expectKeysInPage("a page's dialog", nameOf(way));
            }
    }

    // The file dialogs for opening and for saving: Cancel, Open or Save,
    // Escape and the window manager.
    void closeFileDialogs() {
        // The browser names its program before the toolkit starts; the file
        // chooser keeps what was chosen among the recent files under that name.
        if (!g_get_prgname()) g_set_prgname("quorelle");
        FileDialogs dialogs([this]() -> Gtk::Window* { return &mainWindow(); }, scratch_);
        Glib::file_set_contents(scratch_ + "/page.html", "<html></html>");
        const auto pageFile = Gio::File::create_for_path(scratch_ + "/page.html");
        for (bool save : {false, true})
            for (auto [way, response] : {std::pair{CloseBy::button, Gtk::ResponseType::CANCEL},
                                         std::pair{CloseBy::button, Gtk::ResponseType::ACCEPT},
                                         std::pair{CloseBy::escape, Gtk::ResponseType::NONE},
                                         std::pair{CloseBy::windowManager, Gtk::ResponseType::NONE}}) {
                clickPage();
                bool answered = false;
                auto done = [&](std::optional<std::string>) { answered = true; };
                if (save)
                    dialogs.chooseSavePath("Save Page", "saved.html", {}, done);
                else
                    dialogs.chooseFileToOpen("Open File", {}, done);
                Gtk::Window* chooser = nullptr;
                ASSERT_TRUE(runUntil([&] {
                    return (chooser = shownWindow([](Gtk::Window& w) { return GTK_IS_FILE_CHOOSER(w.gobj()); }));
                }));
                // Open needs a file chosen, once its folder has been read; Save
                // has its name.
                if (!save && response == Gtk::ResponseType::ACCEPT) {
                    auto* files = GTK_FILE_CHOOSER(chooser->gobj());
                    gtk_file_chooser_set_file(files, pageFile->gobj(), nullptr);
                    ASSERT_TRUE(runUntil([&] {
                        GFile* chosen = gtk_file_chooser_get_file(files);
                        const bool ready = chosen && g_file_equal(chosen, pageFile->gobj());
                        if (chosen) g_object_unref(chosen);
                        return ready;
                    }));
                }
                close(*chooser, way, responseButton(*chooser, response));
                ASSERT_TRUE(runUntil([&] { return answered; })) << nameOf(way) << (save ? " (save)" : " (open)");
                expectKeysInPage(save ? "the save dialog" : "the open dialog", nameOf(way));
            }
    }

    // The browser menu's Create Profile sheet: Cancel, the window manager,
    // then Create, after which the new profile's New Tab takes the keys in
    // its omnibox.
    void closeCreateProfileSheet() {
        auto& menu = mainWindow().controls().browserMenu();
        using Pick = Gtk::Button& (CreateProfileSheet::*)();
        const std::pair<CloseBy, Pick> ways[] = {{CloseBy::button, &CreateProfileSheet::cancelButton},
                                                 {CloseBy::windowManager, nullptr},
                                                 {CloseBy::button, &CreateProfileSheet::createButton}};
        for (const auto& [way, button] : ways) {
            clickPage();
            menu.setShowCreateProfile(true);
            CreateProfileSheet* sheet = menu.createProfileSheet();
            ASSERT_NE(sheet, nullptr);
            sheet->nameField().set_text("Travel");
            close(*sheet, way, button ? &(sheet->*button)() : nullptr);
            ASSERT_TRUE(runUntil([&] { return !menu.showCreateProfile() && !sheet->get_visible(); })) << nameOf(way);
            if (button != &CreateProfileSheet::createButton) expectKeysInPage("the create-profile sheet", nameOf(way));
        }
        EXPECT_EQ(state->currentProfile().name, "Travel");
        EXPECT_TRUE(typedIntoOmnibox("ab")) << "the focus is on " << focusName();
    }

    // ---- cards over the window's layout -------------------------------------------

    // Presents the card of `layer` (through `present`, which sets the state's
    // flag), lets `close` close it, and waits until it is gone.
    template <typename Card>
    void closeCard(CardLayer layer, const std::function<void()>& present, const std::function<void(Card&)>& close,
                   const char* way) {
        clickPage();
        present();
        Card* card = nullptr;
        ASSERT_TRUE(runUntil([&] {
            card = dynamic_cast<Card*>(root().presentedCard(layer));
            return card && card->get_mapped();
        })) << RootView::cardName(layer) << ": " << way;
        close(*card);
        ASSERT_TRUE(runUntil([&] { return !RootView::isCardShown(layer, *state) && !root().presentedCard(layer); }))
            << RootView::cardName(layer) << ": " << way;
        expectKeysInPage(std::string(RootView::cardName(layer)), way);
    }
    // A tap on a dimmed card's dim layer, beside the card.
    void tapDim(DimmedCard& card) {
        ASSERT_TRUE(runUntil([&] { return card.dimLayer().get_width() > 0 && clickWidgetAt(card.dimLayer(), 4, 4); }));
    }

    // The login prompts: Save, Not Now and Never; Update and Ignore.
    void closePasswordCards() {
        using Save = PasswordSavePromptCard;
        auto offer = [&] {
            state->showPasswordSavePrompt.set(PasswordSavePrompt("a.example", "ada", "pw", "https://a.example/"));
        };
        for (auto [button, way] : {std::pair{&Save::saveButton, "Save"}, std::pair{&Save::notNowButton, "Not Now"},
                                   std::pair{&Save::neverButton, "Never"}})
            closeCard<Save>(CardLayer::passwordSavePrompt, offer, [&](Save& c) { click((c.*button)()); }, way);
        using Update = PasswordUpdatePromptCard;
        auto offerUpdate = [&] {
            state->showPasswordUpdatePrompt.set(PasswordUpdatePrompt(state->passwordItems.get().front(), "new"));
        };
        for (auto [button, way] :
             {std::pair{&Update::updateButton, "Update"}, std::pair{&Update::ignoreButton, "Ignore"}})
            closeCard<Update>(CardLayer::passwordUpdatePrompt, offerUpdate,
                              [&](Update& c) { click((c.*button)()); }, way);
    }

    // The new-tab customiser: Save, the way to the themes page, the dim layer.
    void closeNewTabCustomize() {
        using Card = NewTabCustomizeOverlay;
        auto present = [&] { state->showNewTabCustomize.set(true); };
        closeCard<Card>(CardLayer::newTabCustomize, present, [&](Card& c) { click(c.saveButton()); }, "Save");
        closeCard<Card>(CardLayer::newTabCustomize, present, [&](Card& c) {
            click(c.openThemesButton());
            // That page takes the place of the one that hears keys, once its
            // load (queued as the card closed) has been sent and done.
            ASSERT_TRUE(runUntil([&] { return shownPageLoaded() && state->activeTab()->title.get() == "Themes"; }));
            show(pageA);
        }, "Themes");
        closeCard<Card>(CardLayer::newTabCustomize, present, [&](Card& c) { tapDim(c); }, "the dim layer");
    }

    // The shortcut editor: Save, Cancel, Delete (of a shortcut being edited),
    // the dim layer.
    void closeShortcutEditor() {
        using Card = ShortcutEditorOverlay;
        auto add = [&] { state->showShortcutsEditor.set(true); };
        auto edit = [&] {
            state->editingShortcut.set(state->profileData.get().shortcuts.front());
            state->showShortcutsEditor.set(true);
        };
        closeCard<Card>(CardLayer::shortcutEditor, add, [&](Card& c) {
            c.urlField().set_text("https://c.example/");
            click(c.saveButton());
        }, "Save");
        closeCard<Card>(CardLayer::shortcutEditor, add, [&](Card& c) { click(c.cancelButton()); }, "Cancel");
        closeCard<Card>(CardLayer::shortcutEditor, edit, [&](Card& c) { click(c.deleteButton()); }, "Delete");
        closeCard<Card>(CardLayer::shortcutEditor, add, [&](Card& c) { tapDim(c); }, "the dim layer");
    }

    // The new-bookmark sheet: Save and Cancel; the bookmark sheet over the
    // window: Save, Cancel and Delete.
    void closeBookmarkCards() {
        using New = NewBookmarkSheet;
        auto add = [&] { state->showNewBookmarkSheet.set(true); };
        closeCard<New>(CardLayer::newBookmark, add, [&](New& c) {
            c.urlField().set_text("https://d.example/");
            click(c.saveButton());
        }, "Save");
        closeCard<New>(CardLayer::newBookmark, add, [&](New& c) { click(c.cancelButton()); }, "Cancel");

        using Edit = BookmarkEditSheet;
        auto edit = [&] { state->editingBookmark.set(state->profileData.get().bookmarks.back()); };
        for (auto [button, way] : {std::pair{&Edit::saveButton, "Save"}, std::pair{&Edit::cancelButton, "Cancel"},
                                   std::pair{&Edit::deleteButton, "Delete"}})
            closeCard<Edit>(CardLayer::bookmarkEdit, edit, [&](Edit& c) { click((c.*button)()); }, way);
    }

    // The inspector: Close.
    void closeInspector() {
        closeCard<InspectorPanel>(
            CardLayer::inspectorPanel, [&] { state->showInspectorPanel.set(true); },
            [&](InspectorPanel& c) { click(c.closeButton()); }, "Close");
    }

    // Quits with Ctrl+Q, as the user does, and lets the application end.
    void quit() {
        ASSERT_TRUE(runUntil([&] { return pressAccelerator(mainWindow(), "<Control>q"); }));
        ASSERT_TRUE(runUntil([&] { return app->get_windows().empty(); }));
        endRun();
    }
};

TEST_F(ClosingEveryWayTest, EveryDialogSheetPromptAndCardClosesEachWayWithoutAWarningAndGivesTheKeysBack) {
    const LogWatch log;
    closeFolderNameDialogs();
    closeBarEditSheet();
    closePasswordPrompt();
    closeScriptDialogs();
    closeFileDialogs();
    closePasswordCards();
    closeNewTabCustomize();
    closeShortcutEditor();
    closeBookmarkCards();
    closeInspector();
    // Last: it switches the window to the new profile.
    closeCreateProfileSheet();
    quit();
    EXPECT_EQ(log.problems(), std::vector<std::string>{});
}

}  // namespace
}  // namespace quorelle::testing
