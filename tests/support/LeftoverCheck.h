#pragma once

// What a case of the display suites leaves behind for the cases after it: a
// window, or a timer or idle callback of the browser's still waiting in the
// main loop. Each case runs in a process of its own under ctest, which hides
// such leftovers; a program run whole meets them in its next case.

#include <glib.h>
#include <gtk/gtk.h>

#include <string>
#include <string_view>
#include <vector>

namespace quorelle::testing {

class LeftoverCheck {
public:
    // Marks where the case's own sources begin.
    void start() { firstSource_ = nextSourceID(); }

    // What is left since start(), one line each.
    std::vector<std::string> leftovers() const {
        std::vector<std::string> found;
        GListModel* windows = gtk_window_get_toplevels();
        for (guint i = 0; i < g_list_model_get_n_items(windows); ++i) {
            auto* window = GTK_WINDOW(g_list_model_get_item(windows, i));
            const char* title = gtk_window_get_title(window);
            found.push_back(std::string("a window: ") + G_OBJECT_TYPE_NAME(window) + " \"" + (title ? title : "") +
                            "\"");
            g_object_unref(window);
        }
        const guint end = nextSourceID() - 1;
        for (guint id = firstSource_; id < end; ++id) {
            GSource* source = g_main_context_find_source_by_id(nullptr, id);
            if (source && !g_source_is_destroyed(source) && isTheBrowsers(source))
                found.push_back("a timer or idle callback waiting in the main loop (source " + std::to_string(id) +
                                ", " + (g_source_get_name(source) ? g_source_get_name(source) : "no name") + ")");
        }
        return found;
    }

private:
    // The toolkit and the web engine name their sources. The browser's have
    // no name, the one GLib gives every idle source, or its own.
    static bool isTheBrowsers(GSource* source) {
        const char* name = g_source_get_name(source);
        if (!name) return true;
        const std::string_view named(name);
        return named == "GIdleSource" || named == "GTimeoutSource" || named.starts_with("quorelle");
    }
    // The id the main context gives the next source attached to it.
    static guint nextSourceID() {
        GSource* probe = g_idle_source_new();
        const guint id = g_source_attach(probe, nullptr);
        g_source_destroy(probe);
        g_source_unref(probe);
        return id + 1;
    }

    guint firstSource_ = 0;
};

}  // namespace quorelle::testing
