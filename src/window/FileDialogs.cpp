#include "window/FileDialogs.h"

#include <giomm/file.h>
#include <glibmm/fileutils.h>
#include <glibmm/miscutils.h>
#include <gtkmm/filechoosernative.h>
#include <gtkmm/dialog.h>
#include <gtkmm/filefilter.h>
#include <gtkmm/window.h>

namespace quorelle {

FileDialogs::FileDialogs(ParentWindow parentWindow, std::string saveFolder)
    : parentWindow_(std::move(parentWindow)), saveFolder_(std::move(saveFolder)) {
    if (!parentWindow_) parentWindow_ = &FileDialogs::activeToplevel;
    if (saveFolder_.empty()) saveFolder_ = downloadsFolder();
}

FileDialogs::~FileDialogs() {
    for (auto& [id, open] : open_) {
        open.response.disconnect();
        open.chooser->hide();
    }
}

Gtk::Window* FileDialogs::activeToplevel() {
    Gtk::Window* visible = nullptr;
    for (Gtk::Window* window : Gtk::Window::list_toplevels()) {
        if (window->is_active()) return window;
        if (!visible && window->get_visible()) visible = window;
    }
    return visible;
}

std::string FileDialogs::downloadsFolder() {
    const std::string downloads = Glib::get_user_special_dir(Glib::UserDirectory::DOWNLOAD);
    if (!downloads.empty() && Glib::file_test(downloads, Glib::FileTest::IS_DIR)) return downloads;
    return Glib::get_home_dir();
}

Glib::RefPtr<Gtk::FileChooserNative> FileDialogs::makeChooser(const std::string& title, bool save,
                                                              const std::vector<FileFilter>& filters) {
    const auto action = save ? Gtk::FileChooser::Action::SAVE : Gtk::FileChooser::Action::OPEN;
    const Glib::ustring accept = save ? "_Save" : "_Open";
    Gtk::Window* parent = parentWindow_ ? parentWindow_() : nullptr;
    auto chooser = parent ? Gtk::FileChooserNative::create(title, *parent, action, accept, "_Cancel")
                          : Gtk::FileChooserNative::create(title, action, accept, "_Cancel");
    chooser->set_modal(true);
    chooser->set_select_multiple(false);
    for (const auto& filter : filters) {
        auto made = Gtk::FileFilter::create();
        made->set_name(filter.name);
        for (const auto& type : filter.mimeTypes) made->add_mime_type(type);
        for (const auto& pattern : filter.patterns) made->add_pattern(pattern);
        chooser->add_filter(made);
        if (!chooser->get_filter()) chooser->set_filter(made);
    }
    return chooser;
}

void FileDialogs::chooseSavePath(const std::string& title, const std::string& suggestedName,
                                 const std::vector<FileFilter>& filters, PathCompletion done) {
    auto chooser = makeChooser(title, true, filters);
    // The last folder saved to may have gone since.
    if (!Glib::file_test(saveFolder_, Glib::FileTest::IS_DIR)) saveFolder_ = downloadsFolder();
    chooser->set_current_folder(Gio::File::create_for_path(saveFolder_));
    if (!suggestedName.empty()) chooser->set_current_name(suggestedName);
    run(chooser, [this, done = std::move(done)](std::optional<std::string> path) {
        if (path) saveFolder_ = Glib::path_get_dirname(*path);
        done(std::move(path));
    });
}

void FileDialogs::chooseFileToOpen(const std::string& title, const std::vector<FileFilter>& filters,
                                   PathCompletion done) {
    run(makeChooser(title, false, filters), std::move(done));
}

void FileDialogs::run(const Glib::RefPtr<Gtk::FileChooserNative>& chooser, PathCompletion done) {
    const unsigned id = nextID_++;
    auto response = chooser->signal_response().connect([this, id, done = std::move(done)](int answer) mutable {
        auto it = open_.find(id);
        if (it == open_.end()) return;
        auto finish = std::move(done);
        // Keeps the dialog alive until this handler has returned.
        auto chooser = it->second.chooser;
        open_.erase(it);
        chooser->hide();
        std::optional<std::string> path;
        if (answer == static_cast<int>(Gtk::ResponseType::ACCEPT)) {
            if (auto file = chooser->get_file()) {
                std::string local = file->get_path();
                if (!local.empty()) path = std::move(local);
            }
        }
        finish(std::move(path));
    });
    open_.emplace(id, Open{chooser, response});
    chooser->show();
}

}  // namespace quorelle
