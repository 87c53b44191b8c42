#include "app/DataFolderInUse.h"

#include <gio/gio.h>
#include <gtk/gtk.h>

#include <cstdio>

namespace quorelle {
namespace {

// True when a browser with this application id answers on the session bus
// and was asked to show itself.
bool handOver(const std::string& applicationID) {
    GApplication* probe = g_application_new(applicationID.c_str(), G_APPLICATION_DEFAULT_FLAGS);
    const bool remote = g_application_register(probe, nullptr, nullptr) && g_application_get_is_remote(probe);
    if (remote) g_application_activate(probe);
    g_object_unref(probe);
    return remote;
}

// Shows the error dialog and waits until it is closed.
void showDialog(const char* title, const std::string& detail) {
    GtkWidget* dialog =
        gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_CLOSE, "%s", title);
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog), "%s", detail.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog), "Quorelle");
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    g_signal_connect(dialog, "response", G_CALLBACK(+[](GtkDialog*, int, gpointer data) {
                         g_main_loop_quit(static_cast<GMainLoop*>(data));
                     }),
                     loop);
    gtk_window_present(GTK_WINDOW(dialog));
    g_main_loop_run(loop);
    g_main_loop_unref(loop);
    gtk_window_destroy(GTK_WINDOW(dialog));
}

// The line on stderr, then the dialog when there is a display; gives 1.
int refuse(const std::string& line, const char* title, const std::string& detail) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    if (gtk_init_check()) showDialog(title, detail);
    return 1;
}

}  // namespace

std::string DataFolderInUse::message(const std::string& folder) {
    return "quorelle: another Quorelle process is using the data folder " + folder +
           "; this one ends without changing it.";
}

std::string DataFolderInUse::unlockableMessage(const std::string& folder, const std::string& problem) {
    return "quorelle: the data folder " + folder + " cannot be locked (" + problem +
           "), so nothing would keep another Quorelle process from using it at the same time; this one ends "
           "without changing it.";
}

int DataFolderInUse::report(const std::string& folder, const std::string& applicationID) {
    if (handOver(applicationID)) return 0;
    return refuse(message(folder), "Quorelle is already running",
                  "Another Quorelle process is using the data folder " + folder +
                      ". Close it before starting Quorelle again.");
}

int DataFolderInUse::reportUnlockable(const std::string& folder, const std::string& problem) {
    return refuse(unlockableMessage(folder, problem), "Quorelle cannot use its data folder",
                  "The data folder " + folder + " cannot be locked: " + problem +
                      ". Quorelle needs it to itself to keep your browsing data safe.");
}

}  // namespace quorelle
