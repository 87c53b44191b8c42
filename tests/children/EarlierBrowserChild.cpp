// A Quorelle from before starts were handed over through a method of its own
// (one still running while its package is upgraded), as a start meets it:
//   EarlierBrowserChild <data folder>
// It holds the data folder as every browser has, leaving no note in its lock
// file, and is on the session bus only as a GApplication is, where starts
// then activated it (org.freedesktop.Application.Activate). It says
// "activated" on stderr at each activation, its own start's included, and
// runs until it is ended. Exits 1 when the folder is not its to hold.
#include "store/DataFolderLock.h"

#include <gio/gio.h>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) return 2;
    quorelle::DataFolderLock lock(argv[1]);
    if (lock.state() != quorelle::DataFolderLock::State::held) return 1;
    GApplication* application = g_application_new("io.github.quorelle.Quorelle", G_APPLICATION_DEFAULT_FLAGS);
    g_signal_connect(application, "activate", G_CALLBACK(+[](GApplication*, gpointer) {
                         std::fputs("activated\n", stderr);
                         std::fflush(stderr);
                     }),
                     nullptr);
    g_application_hold(application);
    const int status = g_application_run(application, 0, nullptr);
    g_object_unref(application);
    return status;
}
