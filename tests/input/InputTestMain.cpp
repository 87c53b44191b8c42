// The input suites press real keys and turn a real wheel through the X
// server's test extension. Input goes to whichever window holds the focus or
// lies under the pointer, so each process gets an X server of its own that
// no other test's windows share.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <glib.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/init.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

// The server ends with this process, after the toolkit is done with it.
void endWithParent(gpointer) { prctl(PR_SET_PDEATHSIG, SIGTERM); }

// Starts a virtual X server and returns its display name once it accepts
// clients ("" when it could not start).
std::string startPrivateDisplay() {
    const char* argv[] = {"Xvfb", "-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset",
                          nullptr};
    GPid pid = 0;
    int out = -1;
    GError* error = nullptr;
    // A direct child, so that it hears of this process ending.
    const auto flags =
        static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDERR_TO_DEV_NULL);
    if (!g_spawn_async_with_pipes(nullptr, const_cast<char**>(argv), nullptr, flags, endWithParent, nullptr, &pid,
                                  nullptr, &out, nullptr, &error)) {
        fprintf(stderr, "Could not start Xvfb: %s\n", error->message);
        g_error_free(error);
        return {};
    }
    // The server writes its display number when it is ready.
    std::string number;
    char c = 0;
    while (read(out, &c, 1) == 1 && c != '\n') number += c;
    close(out);
    return number.empty() ? std::string() : ":" + number;
}

}  // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    const std::string display = startPrivateDisplay();
    if (display.empty()) {
        fprintf(stderr, "These tests need Xvfb to start a display of their own.\n");
        return 1;
    }
    setenv("DISPLAY", display.c_str(), 1);
    setenv("GDK_BACKEND", "x11", 1);
    if (!gtk_init_check()) {
        fprintf(stderr, "Could not open the display %s.\n", display.c_str());
        return 1;
    }
    Gtk::init_gtkmm_internals();
    return RUN_ALL_TESTS();
}
