// The bookmarks bar's folder-name dialog over a browser-sized window: as wide
// as the "already running" dialog, with its text's margins, room under the
// title bar and around the buttons, and room for its title.
#include "window/BookmarkFolderNameDialog.h"

#include "support/MessageDialogShape.h"
#include "window/WindowTestSupport.h"

#include <gtkmm/label.h>

namespace quorelle::testing {
namespace {

class BookmarkFolderNameDialogTest : public WindowTest {};

TEST_F(BookmarkFolderNameDialogTest, HasTheWidthAndMarginsOfTheAlreadyRunningDialog) {
    const auto reference = MessageDialogShape::alreadyRunning();
    Gtk::Label content("page");
    Gtk::Window& window = showInWindow(content, 600);
    for (auto mode : {BookmarkFolderNameDialog::Mode::create, BookmarkFolderNameDialog::Mode::rename}) {
        BookmarkFolderNameDialog dialog(mode, "");
        dialog.set_transient_for(window);
        dialog.present();
        MessageDialogShape::expectTheLookOf(reference, dialog, *dialog.confirmButton());
        dialog.set_visible(false);
    }
    window.unset_child();
}

}  // namespace
}  // namespace quorelle::testing
