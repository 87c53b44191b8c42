#pragma once

#include <gtkmm/messagedialog.h>

namespace quorelle {

// The look the browser's message dialogs share (a page's confirm and prompt,
// the bookmark folder's name, and the one shown when a start is refused):
// they are as wide as a full line of the toolkit's wrapped text, whatever the
// length of their own, so short messages are not squeezed against the edges
// and the window's title has room. The text's side margins and the spacing
// are the toolkit's. Under a title bar the window manager draws, the text
// keeps the room above it and the buttons the room around them that the
// toolkit keeps only under a title bar of its own.
struct MessageDialogLook {
    MessageDialogLook() = delete;

    // Room between the title bar and the text: the height of the title bar
    // the toolkit draws on a message dialog of its own.
    static constexpr int roomAboveText = 20;
    // Room between the buttons and the dialog's edges, and between buttons.
    static constexpr int buttonInset = 12;
    static constexpr int buttonSpacing = 6;

    // Call once the dialog's message area holds everything it will show.
    static void apply(Gtk::MessageDialog& dialog);
    // Only the room above the text and around the buttons, for a dialog
    // whose text already fills a full line.
    static void giveRoom(Gtk::MessageDialog& dialog);
};

}  // namespace quorelle
