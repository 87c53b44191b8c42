// The WebKit suites need a display and an initialised toolkit.
#include <cstdio>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/init.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no display; running them does, and fails
    // plainly without one.
    if (!gtk_init_check() && !::testing::GTEST_FLAG(list_tests)) {
        fprintf(stderr, "These tests need a display (run them under xvfb-run).\n");
        return 1;
    }
    Gtk::init_gtkmm_internals();
    return RUN_ALL_TESTS();
}
