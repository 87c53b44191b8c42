#include "window/OpenFileCommand.h"

#include "state/AppState.h"
#include "store/MainQueue.h"

#include <giomm/file.h>

namespace quorelle {

const std::vector<FileFilter>& OpenFileCommand::filters() {
    // The dialog starts on the first filter: every file can be opened, so
    // that one hides nothing.
    static const std::vector<FileFilter> all{
        {"All files", {}, {"*"}},
        {"HTML", {"text/html"}, {}},
        {"PDF", {"application/pdf"}, {}},
        {"Plain text", {"text/plain"}, {}},
        {"Images", {"image/*"}, {}},
    };
    return all;
}

void OpenFileCommand::open(AppState* appState, IFileDialogs& dialogs) {
    if (!appState) return;
    std::weak_ptr<AppState> weak = appState->weak_from_this();
    MainQueue* queue = &appState->mainQueue();
    dialogs.chooseFileToOpen("Open File", filters(), [weak, queue](std::optional<std::string> path) {
        if (!path || path->empty()) return;
        const std::string uri = Gio::File::create_for_path(*path)->get_uri();
        queue->post([weak, uri] {
            if (auto state = weak.lock()) state->navigateActive(uri);
        });
    });
}

MenuCommands::OpenFile OpenFileCommand::handler(IFileDialogs& dialogs) {
    return [&dialogs](AppState* appState) { open(appState, dialogs); };
}

}  // namespace quorelle
