// The display suites (web views, the window's controls, the cards, the whole
// application, real input) build real widgets: they need a display, the X11
// backend and an initialised toolkit.
#include "support/LeftoverCheck.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/init.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Fails a case that leaves a window, or a timer or idle callback of the
// browser's, behind for the cases after it.
class LeftoverListener : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override { check_.start(); }
    void OnTestEnd(const ::testing::TestInfo&) override {
        for (const auto& leftover : check_.leftovers()) ADD_FAILURE() << "The case left " << leftover << " behind";
    }

private:
    quorelle::testing::LeftoverCheck check_;
};

}  // namespace

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
    ::testing::UnitTest::GetInstance()->listeners().Append(new LeftoverListener);
    return RUN_ALL_TESTS();
}
