#pragma once

#include "state/IFileDialogs.h"
#include "window/MenuCommands.h"

#include <vector>

namespace quorelle {

class AppState;

// "Open File…": the user picks one local file, which the focused window's
// active tab then shows, as if its address had been typed into the omnibox.
class OpenFileCommand {
public:
    // Any file (the one the dialog starts on), then HTML, PDF, plain text
    // and images.
    static const std::vector<FileFilter>& filters();

    // Without a state (no browser window focused) no dialog is shown. A
    // dismissed dialog changes nothing; a chosen file's "file:" address is
    // navigated to on the main queue, after the dialog has closed.
    static void open(AppState* appState, IFileDialogs& dialogs);

    // The menu command's hook, asking `dialogs`.
    static MenuCommands::OpenFile handler(IFileDialogs& dialogs);
};

}  // namespace quorelle
