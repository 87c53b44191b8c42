// Every dialog, sheet, prompt and card the browser shows, closed each way
// the user can close it: its buttons clicked, Escape pressed, the window
// manager's close. Nothing may log a warning or a critical on the way, nor
// at the quit after them.
#include "app/AppTestSupport.h"
#include "support/LogWatch.h"
#include "support/RealInput.h"

#include "window/BookmarkFolderMenu.h"
#include "window/BookmarkFolderNameDialog.h"
#include "window/BookmarksBar.h"

#include <gtkmm/button.h>

#include <string>
#include <vector>

namespace quorelle::testing {
namespace {

// The ways a dialog or sheet in a window of its own is closed.
enum class CloseBy { button, escape, windowManager };

class ClosingEveryWayTest : public AppTest {
protected:
    void SetUp() override { ASSERT_TRUE(runUntil([&] { return mainWindow().get_mapped(); })); }

    BookmarksBar& bar() { return mainWindow().controls().bookmarksBar(); }

    void click(Gtk::Widget& widget) {
        ASSERT_TRUE(runUntil([&] { return widget.get_width() > 0 && clickWidget(widget); }));
    }
    // Closes the window `window` is the root of (a dialog or sheet), once it
    // shows, by `way`; `button` is the button that closes it.
    void close(Gtk::Window& window, CloseBy way, Gtk::Widget* button) {
        ASSERT_TRUE(runUntil([&] { return window.get_mapped(); }));
        switch (way) {
            case CloseBy::button: ASSERT_NE(button, nullptr); return click(*button);
            case CloseBy::escape: ASSERT_TRUE(runUntil([&] { return pressAccelerator(window, "Escape"); })); return;
            case CloseBy::windowManager: ASSERT_TRUE(runUntil([&] { return closeAsWindowManager(window); })); return;
        }
    }

    // The bookmarks bar's folder-name alert, for a new folder and for a
    // rename, answered with either button, Escape and the window manager.
    void closeFolderNameDialogs() {
        state->createBookmarkFolder("Reading");
        settle();
        ASSERT_EQ(bar().folderMenus().size(), 1u);
        const BookmarkFolder reading = bar().folderMenus().front()->folder();
        for (auto way : {CloseBy::button, CloseBy::escape, CloseBy::windowManager})
            for (bool rename : {false, true}) {
                if (rename)
                    bar().promptRenameFolder(reading);
                else
                    bar().promptNewFolder();
                auto* dialog = bar().folderNameDialog();
                ASSERT_NE(dialog, nullptr);
                close(*dialog, way, dialog->cancelButton());
                ASSERT_TRUE(runUntil([&] { return !bar().showNewFolderPrompt() && !dialog->get_visible(); }))
                    << int(way) << rename;
                settle();
            }
        // And confirmed, which creates a folder and renames one.
        bar().promptNewFolder();
        bar().folderNameDialog()->entry().set_text("Later");
        close(*bar().folderNameDialog(), CloseBy::button, bar().folderNameDialog()->confirmButton());
        ASSERT_TRUE(runUntil([&] { return state->profileData.get().bookmarkFolders.size() == 2u; }));
        bar().promptRenameFolder(reading);
        bar().folderNameDialog()->entry().set_text("Read");
        close(*bar().folderNameDialog(), CloseBy::button, bar().folderNameDialog()->confirmButton());
        ASSERT_TRUE(runUntil([&] { return state->profileData.get().bookmarkFolders.front().name == "Read"; }));
        settle();
    }

    // Quits with Ctrl+Q, as the user does, and lets the application end.
    void quit() {
        ASSERT_TRUE(runUntil([&] { return pressAccelerator(mainWindow(), "<Control>q"); }));
        ASSERT_TRUE(runUntil([&] { return app->get_windows().empty(); }));
        endRun();
    }
};

TEST_F(ClosingEveryWayTest, EveryDialogSheetPromptAndCardClosesEachWayWithoutAWarning) {
    const LogWatch log;
    closeFolderNameDialogs();
    quit();
    EXPECT_EQ(log.problems(), std::vector<std::string>{});
}

}  // namespace
}  // namespace quorelle::testing
