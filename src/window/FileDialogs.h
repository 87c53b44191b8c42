#pragma once

#include "state/IFileDialogs.h"

#include <glibmm/refptr.h>
#include <sigc++/connection.h>

#include <functional>
#include <map>
#include <string>

namespace Gtk {
class FileChooserNative;
class Window;
}  // namespace Gtk

namespace quorelle {

// The desktop's own file dialogs (a portal dialog where one is available).
// Each dialog is modal to the window it is shown for and is kept alive until
// the user answers it. A dialog starts on the first filter given. Save
// dialogs start in the folder the last one saved to during this run, and
// before any save in the user's Downloads folder. Main thread only.
class FileDialogs final : public IFileDialogs {
public:
    // The window a new dialog belongs to; nullptr shows it on its own.
    using ParentWindow = std::function<Gtk::Window*()>;

    // Without a parent function, dialogs belong to the active toplevel window;
    // without a folder, the first save dialog starts in downloadsFolder().
    explicit FileDialogs(ParentWindow parentWindow = {}, std::string saveFolder = {});
    ~FileDialogs() override;
    FileDialogs(const FileDialogs&) = delete;
    FileDialogs& operator=(const FileDialogs&) = delete;

    void chooseSavePath(const std::string& title, const std::string& suggestedName,
                        const std::vector<FileFilter>& filters, PathCompletion done) override;
    void chooseFileToOpen(const std::string& title, const std::vector<FileFilter>& filters,
                          PathCompletion done) override;

    // The focused toplevel window, else the first visible one, else nullptr.
    static Gtk::Window* activeToplevel();
    // The user's Downloads folder (XDG user directory), else the home folder.
    static std::string downloadsFolder();

private:
    struct Open {
        Glib::RefPtr<Gtk::FileChooserNative> chooser;
        sigc::connection response;
    };

    Glib::RefPtr<Gtk::FileChooserNative> makeChooser(const std::string& title, bool save,
                                                     const std::vector<FileFilter>& filters);
    void run(const Glib::RefPtr<Gtk::FileChooserNative>& chooser, PathCompletion done);

    ParentWindow parentWindow_;
    std::string saveFolder_;
    std::map<unsigned, Open> open_;
    unsigned nextID_ = 0;
};

}  // namespace quorelle
