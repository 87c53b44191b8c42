#include "window/FileDialogs.h"
#include "window/OpenFileCommand.h"

#include "support/FakeFileDialogs.h"
#include "support/ScratchFolder.h"
#include "window/WindowTestSupport.h"

#include <giomm/file.h>
#include <gtk/gtk.h>

#include <filesystem>

namespace quorelle::testing {
namespace {

// The toolkit's own file dialogs, shown for real (no portal runs here, so
// each is a file chooser window of this process).
class FileDialogsTest : public WindowTest {
protected:
    // The file chooser window on screen, if any.
    static GtkFileChooser* visibleChooser() {
        for (Gtk::Window* window : Gtk::Window::list_toplevels())
            if (GTK_IS_FILE_CHOOSER(window->gobj()) && window->get_visible()) return GTK_FILE_CHOOSER(window->gobj());
        return nullptr;
    }
    // The file chooser window once it is on screen (and, for a save, showing
    // a folder).
    static GtkFileChooser* shownChooser(bool showingFolder = true) {
        runUntil([&] { return visibleChooser() && (!showingFolder || !currentFolder(visibleChooser()).empty()); });
        return visibleChooser();
    }
    static std::string currentFolder(GtkFileChooser* chooser) {
        GFile* folder = gtk_file_chooser_get_current_folder(chooser);
        std::string path = folder ? g_file_get_path(folder) : "";
        if (folder) g_object_unref(folder);
        return path;
    }
    // Saves as `name` in `folder`, as the user would after browsing there.
    static void saveIn(GtkFileChooser* chooser, const std::string& folder, const char* name) {
        GFile* place = g_file_new_for_path(folder.c_str());
        gtk_file_chooser_set_current_folder(chooser, place, nullptr);
        g_object_unref(place);
        gtk_file_chooser_set_current_name(chooser, name);
        gtk_dialog_response(GTK_DIALOG(chooser), GTK_RESPONSE_ACCEPT);
    }
    std::string makeFolder(const std::string& name) {
        std::filesystem::create_directories(files.file(name));
        return files.file(name);
    }

    ScratchFolder files;
};

TEST_F(FileDialogsTest, OpenFileStartsOnTheFilterThatShowsEveryFile) {
    auto state = makeState();
    FileDialogs dialogs;
    OpenFileCommand::open(state.get(), dialogs);
    GtkFileChooser* chooser = shownChooser(false);
    ASSERT_NE(chooser, nullptr);
    GtkFileFilter* filter = gtk_file_chooser_get_filter(chooser);
    ASSERT_NE(filter, nullptr);
    EXPECT_STREQ(gtk_file_filter_get_name(filter), "All files");
    gtk_dialog_response(GTK_DIALOG(chooser), GTK_RESPONSE_CANCEL);
}

TEST_F(FileDialogsTest, SavingStartsInDownloadsThenWhereTheLastSaveWent) {
    const std::string downloads = makeFolder("Downloads");
    const std::string elsewhere = makeFolder("Elsewhere");
    FileDialogs dialogs({}, downloads);
    std::vector<std::optional<std::string>> answers;
    auto record = [&](std::optional<std::string> path) { answers.push_back(std::move(path)); };

    dialogs.chooseSavePath("Save", "page.html", {}, record);
    GtkFileChooser* first = shownChooser();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(currentFolder(first), downloads);
    saveIn(first, elsewhere, "kept.html");
    ASSERT_TRUE(runUntil([&] { return answers.size() == 1; }));
    EXPECT_EQ(answers[0], elsewhere + "/kept.html");
    ASSERT_TRUE(runUntil([] { return !visibleChooser(); }));

    dialogs.chooseSavePath("Save", "next.html", {}, record);
    GtkFileChooser* second = shownChooser();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(currentFolder(second), elsewhere);
    // Dismissing a dialog forgets nothing.
    gtk_dialog_response(GTK_DIALOG(second), GTK_RESPONSE_CANCEL);
    ASSERT_TRUE(runUntil([&] { return answers.size() == 2; }));
    EXPECT_EQ(answers[1], std::nullopt);
    dialogs.chooseSavePath("Save", "again.html", {}, record);
    ASSERT_NE(shownChooser(), nullptr);
    EXPECT_EQ(currentFolder(shownChooser()), elsewhere);
}

TEST_F(FileDialogsTest, WithNoDownloadsFolderSavingStartsAtHome) {
    // The test run's home has no user-dirs file, so no Downloads folder is set.
    if (g_get_user_special_dir(G_USER_DIRECTORY_DOWNLOAD)) GTEST_SKIP() << "a Downloads folder is configured";
    FileDialogs dialogs;
    dialogs.chooseSavePath("Save", "page.html", {}, [](std::optional<std::string>) {});
    ASSERT_NE(shownChooser(), nullptr);
    EXPECT_EQ(currentFolder(shownChooser()), g_get_home_dir());
}

}  // namespace
}  // namespace quorelle::testing
