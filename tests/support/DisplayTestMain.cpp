// The display suites (web views, the window's controls, the cards, the whole
// application, real input) build real widgets: they need a display, the X11
// backend and an initialised toolkit.
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/init.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Real input goes through the X server's test extension.
    setenv("GDK_BACKEND", "x11", 1);
    // Listing the tests needs no display; running them does, and fails
    // plainly without one.
    if (!gtk_init_check() && !::testing::GTEST_FLAG(list_tests)) {
        fprintf(stderr, "These tests need a display (run them under xvfb-run).\n");
        return 1;
    }
    Gtk::init_gtkmm_internals();
    return RUN_ALL_TESTS();
}
