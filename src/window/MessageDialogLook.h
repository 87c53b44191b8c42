#pragma once

#include <gtkmm/messagedialog.h>

namespace quorelle {

// The look the browser's own message dialogs (a page's confirm and prompt,
// the bookmark folder's name) share with the one shown when another
// Quorelle already uses the data folder, a plain message dialog whose long
// explanation fills the toolkit's wrapped lines: they are as wide as a full
// line, whatever the length of their own text, so short messages are not
// squeezed against the edges and the window's title has room. The text's
// side margins and the spacing are the toolkit's, as there. Under a title
// bar the window manager draws, the text keeps the room above it and the
// buttons the room around them that the toolkit keeps only under a title
// bar of its own.
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
};

}  // namespace quorelle
