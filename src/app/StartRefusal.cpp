#include "app/StartRefusal.h"

#include "app/QuitSignals.h"
#include "model/GLibPtr.h"
#include "window/MessageDialogLook.h"

#include <gtk/gtk.h>
#include <gtkmm/init.h>

#include <cstdio>

namespace quorelle {
namespace {

using MainLoopPtr = GLibPtr<GMainLoop, g_main_loop_unref>;

// Shows the error dialog and waits until it is closed, or the process is
// asked to quit. Escape and the window manager's close destroy the dialog as
// they close it, the Close button does not: the reference held here keeps it
// until this function lets it go.
void showDialog(QuitSignals& quitSignals, const std::string& title, const std::string& detail) {
    auto dialog = GObjectPtr<GtkWidget>::retain(
        gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_ERROR, GTK_BUTTONS_CLOSE, "%s", title.c_str()));
    gtk_message_dialog_format_secondary_text(GTK_MESSAGE_DIALOG(dialog.get()), "%s", detail.c_str());
    gtk_window_set_title(GTK_WINDOW(dialog.get()), "Quorelle");
    // The look of the browser's other message dialogs. The wrapper belongs to
    // the dialog and goes with it.
    Gtk::init_gtkmm_internals();
    MessageDialogLook::giveRoom(*Glib::wrap(GTK_MESSAGE_DIALOG(dialog.get())));
    // The toolkit advises, on stderr, against a dialog without a parent
    // window, and a refused start has none: its dialog is the process's only
    // window. A parent that is never shown stands in; the window manager is
    // told of no parent it cannot see, and the dialog shows as any window.
    auto standIn = GObjectPtr<GtkWidget>::retain(gtk_window_new());
    gtk_window_set_transient_for(GTK_WINDOW(dialog.get()), GTK_WINDOW(standIn.get()));
    MainLoopPtr loop(g_main_loop_new(nullptr, FALSE));
    g_signal_connect(dialog.get(), "response", G_CALLBACK(+[](GtkDialog*, int, gpointer data) {
                         g_main_loop_quit(static_cast<GMainLoop*>(data));
                     }),
                     loop.get());
    const QuitSignals::Reaction quitting(quitSignals, nullptr, [&loop] { g_main_loop_quit(loop.get()); });
    gtk_window_present(GTK_WINDOW(dialog.get()));
    g_main_loop_run(loop.get());
    // Does nothing when the close already destroyed it.
    gtk_window_destroy(GTK_WINDOW(dialog.get()));
    gtk_window_destroy(GTK_WINDOW(standIn.get()));
}

}  // namespace

int StartRefusal::refuse(QuitSignals& quitSignals, const std::string& line, const std::string& title,
                         const std::string& detail) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
    if (gtk_init_check() && !quitSignals.received()) showDialog(quitSignals, title, detail);
    return 1;
}

}  // namespace quorelle
