#include "window/WindowBench.h"

#include <gtk/gtk.h>
#include <glib.h>

#include <ctime>
#include <filesystem>

namespace quorelle::bench {

double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

ProfileData makeProfile(int history, int bookmarks, int folders, int topLevelEvery) {
    static const char* const topics[] = {"news", "weather", "recipes", "football", "linux", "python", "travel"};
    ProfileData data = ProfileData::empty();
    for (int i = 0; i < history; ++i) {
        const std::string topic = topics[i % 7];
        data.history.push_back({.title = "Daily " + topic + " digest, issue " + std::to_string(i),
                                .url = "https://www." + topic + "-site" + std::to_string(i % 97) +
                                       ".example/articles/" + std::to_string(i)});
    }
    for (int i = 0; i < folders; ++i)
        data.bookmarkFolders.push_back({.name = std::string("Folder ") + topics[i % 7] + " " + std::to_string(i),
                                        .sortOrder = i});
    for (int i = 0; i < bookmarks; ++i) {
        const std::string topic = topics[(i + 3) % 7];
        Bookmark bookmark{.title = "Saved " + topic + " page " + std::to_string(i),
                          .url = "https://bookmarks.example/" + topic + "/" + std::to_string(i)};
        const bool topLevel = folders == 0 || (topLevelEvery && i % topLevelEvery == 0);
        if (!topLevel) bookmark.folderID = data.bookmarkFolders[i % folders].id;
        data.bookmarks.push_back(std::move(bookmark));
    }
    return data;
}

WindowBench::WindowBench() {
    gchar* made = g_dir_make_tmp("quorelle-bench-XXXXXX", nullptr);
    folder_ = made;
    g_free(made);
    store_ = std::make_unique<DataStore>(folder_ + "/QuorelleData", DataStore::Access::readOnly);
    state_ = AppState::create(false, AppStateServices{*store_, queue_, web_, web_, web_, web_, web_, keychain_, clipboard_});
    window_ = std::make_unique<Gtk::Window>();
    window_->set_default_size(1200, 800);
    window_->present();
    settleAndPaint();
}

WindowBench::~WindowBench() {
    window_->destroy();
    window_.reset();
    state_.reset();
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

void WindowBench::settleAndPaint() {
    while (queue_.pending() > 0 || g_main_context_pending(nullptr)) g_main_context_iteration(nullptr, FALSE);
    GdkFrameClock* clock = gtk_widget_get_frame_clock(GTK_WIDGET(window_->gobj()));
    if (!clock) return;
    painted_ = false;
    const gulong handler = g_signal_connect_swapped(clock, "after-paint",
                                                    G_CALLBACK(+[](bool* painted) { *painted = true; }), &painted_);
    window_->queue_draw();
    while (!painted_) g_main_context_iteration(nullptr, TRUE);
    g_signal_handler_disconnect(clock, handler);
}

void WindowBench::measure(benchmark::State& state, const std::function<void()>& change) {
    const double start = threadSeconds();
    change();
    settleAndPaint();
    state.SetIterationTime(threadSeconds() - start);
}

}  // namespace quorelle::bench
