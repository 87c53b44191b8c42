#pragma once

#include <gtkmm/messagedialog.h>

namespace quorelle {

// The look the browser's own message dialogs (a page's confirm and prompt,
// the bookmark folder's name) share with the one shown when another
// Quorelle already uses the data folder, a plain message dialog whose long
// explanation fills the toolkit's wrapped lines: they are as wide as a full
// line, whatever the length of their own text, so short messages are not
// squeezed against the edges and the window's title has room. The margins
// and spacing are the toolkit's, as there.
struct MessageDialogLook {
    MessageDialogLook() = delete;

    // Call once the dialog's message area holds everything it will show.
    static void apply(Gtk::MessageDialog& dialog);
};

}  // namespace quorelle
