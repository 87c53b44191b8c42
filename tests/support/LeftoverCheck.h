#pragma once

// What a case of the display suites leaves behind for the cases after it: a
// window, or a timer or idle callback of the browser's still waiting in the
// main loop. Each case runs in a process of its own under ctest, which hides
// such leftovers; a program run whole meets them in its next case.

#include <dlfcn.h>
#include <glib.h>
#include <gtk/gtk.h>

#include <climits>
#include <cstdlib>

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
        for (GSource* source : browserSources())
            found.push_back("a timer or idle callback waiting in the main loop (source " +
                            std::to_string(g_source_get_id(source)) + ", " +
                            (g_source_get_name(source) ? g_source_get_name(source) : "no name") + ")");
        return found;
    }

    // The browser's timers and idle callbacks attached since start() and
    // still waiting in the main loop (see isTheBrowsers).
    std::vector<GSource*> browserSources() const {
        std::vector<GSource*> found;
        const guint end = nextSourceID() - 1;
        for (guint id = firstSource_; id < end; ++id) {
            GSource* source = g_main_context_find_source_by_id(nullptr, id);
            if (source && !g_source_is_destroyed(source) && isTheBrowsers(source)) found.push_back(source);
        }
        return found;
    }

private:
    // The toolkit and the web engine name most of their sources; GLib names
    // every idle source "GIdleSource", the toolkit's unnamed ones too. So a
    // source is the browser's when its callback lives in the test program
    // itself (the browser's code is linked into it) or in the C++ bindings
    // the browser schedules through (Glib::signal_idle, signal_timeout), or
    // when it has the browser's own name. A source with no callback of its
    // own, and no name, counts as the browser's too.
    static bool isTheBrowsers(GSource* source) {
        const char* name = g_source_get_name(source);
        if (name && std::string_view(name).starts_with("quorelle")) return true;
        if (name && std::string_view(name) != "GIdleSource" && std::string_view(name) != "GTimeoutSource")
            return false;
        const std::string library = callbackLibrary(source);
        if (library.empty()) return !name;
        return library == programPath() || library.find("libglibmm") != std::string::npos;
    }
    // The file that holds the source's callback; empty when it has none.
    static std::string callbackLibrary(GSource* source) {
        if (!source->callback_funcs || !source->callback_funcs->get) return {};
        GSourceFunc function = nullptr;
        gpointer data = nullptr;
        source->callback_funcs->get(source->callback_data, source, &function, &data);
        Dl_info where{};
        if (!function || !dladdr(reinterpret_cast<void*>(function), &where) || !where.dli_fname) return {};
        char resolved[PATH_MAX];
        return realpath(where.dli_fname, resolved) ? resolved : where.dli_fname;
    }
    static const std::string& programPath() {
        static const std::string path = [] {
            char resolved[PATH_MAX];
            return std::string(realpath("/proc/self/exe", resolved) ? resolved : "");
        }();
        return path;
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
