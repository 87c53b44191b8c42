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

// Shows the dialog and waits until it is closed.
void showDialog(const std::string& folder) {
    GtkWidget* dialog = gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_CLOSE,
                                               "Quorelle is already running");
    gtk_message_dialog_format_secondary_text(
        GTK_MESSAGE_DIALOG(dialog),
        "Another Quorelle process is using the data folder %s. Close it before starting Quorelle again.",
        folder.c_str());
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

}  // namespace

std::string DataFolderInUse::message(const std::string& folder) {
    return "quorelle: another Quorelle process is using the data folder " + folder +
           "; this one ends without changing it.";
}

int DataFolderInUse::report(const std::string& folder, const std::string& applicationID) {
    if (handOver(applicationID)) return 0;
    std::fprintf(stderr, "%s\n", message(folder).c_str());
    std::fflush(stderr);
    if (gtk_init_check()) showDialog(folder);
    return 1;
}

}  // namespace quorelle
