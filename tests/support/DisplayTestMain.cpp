// The display suites (web views, the window's controls, the cards, the whole
// application, real input) build real widgets: they need a display, the X11
// backend and an initialised toolkit.
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/init.h>

#include <string>

namespace {

// The id the main context gives the next source attached to it.
guint nextSourceID() {
    GSource* probe = g_idle_source_new();
    const guint id = g_source_attach(probe, nullptr);
    g_source_destroy(probe);
    g_source_unref(probe);
    return id + 1;
}

// Fails a case that leaves work behind for the cases after it: a window, or
// a timer or idle callback of the browser's still waiting in the main loop
// (the toolkit and the web engine name theirs; the browser's have no name).
// Each case runs in a process of its own under ctest, which hides such
// leftovers; a program run whole meets them in its next case.
class LeftoverCheck : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override { firstSource_ = nextSourceID(); }
    void OnTestEnd(const ::testing::TestInfo&) override {
        GListModel* windows = gtk_window_get_toplevels();
        for (guint i = 0; i < g_list_model_get_n_items(windows); ++i) {
            auto* window = GTK_WINDOW(g_list_model_get_item(windows, i));
            const char* title = gtk_window_get_title(window);
            ADD_FAILURE() << "The case left a window behind: " << G_OBJECT_TYPE_NAME(window) << " \""
                          << (title ? title : "") << "\"";
            g_object_unref(window);
        }
        const guint end = nextSourceID() - 1;
        for (guint id = firstSource_; id < end; ++id) {
            GSource* source = g_main_context_find_source_by_id(nullptr, id);
            if (source && !g_source_is_destroyed(source) && !g_source_get_name(source))
                ADD_FAILURE() << "The case left a timer or idle callback waiting in the main loop (source " << id
                              << ")";
        }
    }

private:
    guint firstSource_ = 0;
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
    ::testing::UnitTest::GetInstance()->listeners().Append(new LeftoverCheck);
    return RUN_ALL_TESTS();
}
