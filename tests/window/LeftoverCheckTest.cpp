#include "support/LeftoverCheck.h"

#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/window.h>

namespace quorelle::testing {
namespace {

// The check every display suite runs after each case: an idle callback or a
// timer the browser left waiting is caught, and so is a window; the toolkit's
// own work is not, named or not (GLib names every idle source "GIdleSource",
// the browser's and the toolkit's alike).
TEST(LeftoverCheckTest, CatchesTheBrowsersIdleCallbacksTimersAndWindowsButNotTheToolkitsWork) {
    LeftoverCheck check;
    check.start();
    ASSERT_TRUE(check.leftovers().empty());

    auto idle = Glib::signal_idle().connect([] { return true; }, Glib::PRIORITY_DEFAULT);
    auto timer = Glib::signal_timeout().connect([] { return true; }, 60000);
    const guint toolkits = g_idle_add(+[](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    g_source_set_static_name(g_main_context_find_source_by_id(nullptr, toolkits), "[gtk] some work");
    // Never run: the case does not iterate the main loop.
    const auto inTheToolkit = reinterpret_cast<GSourceFunc>(reinterpret_cast<void (*)()>(gtk_get_debug_flags));
    const guint toolkitsUnnamed = g_idle_add(inTheToolkit, nullptr);
    const guint browsers = g_idle_add(+[](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    auto window = std::make_unique<Gtk::Window>();
    window->set_title("left open");
    const auto found = check.leftovers();
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0], "a window: gtkmm__GtkWindow \"left open\"");
    EXPECT_TRUE(found[1].find("GIdleSource") != std::string::npos) << found[1];
    EXPECT_TRUE(found[2].find("no name") != std::string::npos) << found[2];
    EXPECT_TRUE(found[3].find("source " + std::to_string(browsers) + ",") != std::string::npos) << found[3];

    window.reset();
    idle.disconnect();
    timer.disconnect();
    for (const guint id : {toolkits, toolkitsUnnamed, browsers}) g_source_remove(id);
    EXPECT_TRUE(check.leftovers().empty());
}

}  // namespace
}  // namespace quorelle::testing
