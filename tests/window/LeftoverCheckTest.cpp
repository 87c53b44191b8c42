#include "support/LeftoverCheck.h"

#include <glibmm/main.h>
#include <gtest/gtest.h>
#include <gtkmm/window.h>

namespace quorelle::testing {
namespace {

// The check every display suite runs after each case: an idle callback or a
// timer the browser left waiting is caught (GLib names every idle source
// "GIdleSource"), and so is a window; the toolkit's own named work is not.
TEST(LeftoverCheckTest, CatchesTheBrowsersIdleCallbacksTimersAndWindowsButNotTheToolkitsWork) {
    LeftoverCheck check;
    check.start();
    ASSERT_TRUE(check.leftovers().empty());

    auto idle = Glib::signal_idle().connect([] { return true; }, Glib::PRIORITY_DEFAULT);
    auto timer = Glib::signal_timeout().connect([] { return true; }, 60000);
    const guint toolkits = g_idle_add(+[](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    g_source_set_static_name(g_main_context_find_source_by_id(nullptr, toolkits), "[gtk] some work");
    auto window = std::make_unique<Gtk::Window>();
    window->set_title("left open");
    const auto found = check.leftovers();
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0], "a window: gtkmm__GtkWindow \"left open\"");
    EXPECT_TRUE(found[1].find("GIdleSource") != std::string::npos) << found[1];
    EXPECT_TRUE(found[2].find("no name") != std::string::npos) << found[2];

    window.reset();
    idle.disconnect();
    timer.disconnect();
    g_source_remove(toolkits);
    EXPECT_TRUE(check.leftovers().empty());
}

}  // namespace
}  // namespace quorelle::testing
