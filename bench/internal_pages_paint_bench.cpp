// From render to pixels: a list page of a large profile is built, loaded
// into a real web view (in a shown window, under the internal base) and
// waited on until the engine has laid it out and painted a frame. Needs a
// display (run under xvfb-run); skipped without one.
#include "model/InternalPageRoute.h"
#include "web/InternalPageContext.h"
#include "web/InternalPageRenderer.h"
#include "web/LocalResourceScheme.h"
#include "web/WebViewCoordinator.h"

#include "../tests/unit/DataStoreSampleProfile.h"

#include <benchmark/benchmark.h>
#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <chrono>
#include <string>

namespace {

using namespace quorelle;
using Clock = std::chrono::steady_clock;

template <typename Done>
bool iterateUntil(Done done, std::chrono::seconds limit = std::chrono::seconds(60)) {
    const auto end = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > end) return false;
        g_main_context_iteration(nullptr, TRUE);
    }
    return true;
}

// One window with one web view, kept for the whole run.
struct PaintTarget {
    GtkWindow* window = nullptr;
    WebKitWebView* view = nullptr;
    bool painted = false;

    PaintTarget() {
        WebKitUserContentManager* content = webkit_user_content_manager_new();
        g_signal_connect(content, "script-message-received::painted",
                         G_CALLBACK(+[](WebKitUserContentManager*, JSCValue*, gpointer data) {
                             static_cast<PaintTarget*>(data)->painted = true;
                         }),
                         this);
        webkit_user_content_manager_register_script_message_handler(content, "painted", nullptr);
        window = GTK_WINDOW(gtk_window_new());
        gtk_window_set_default_size(window, 1024, 768);
        view = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "user-content-manager", content, nullptr));
        g_object_unref(content);
        gtk_window_set_child(window, GTK_WIDGET(view));
        gtk_window_present(window);
    }

    // Loads the document and returns once its first frame has been painted
    // (images still loading do not count).
    bool show(std::string html) {
        painted = false;
        html += "<script>requestAnimationFrame(() => requestAnimationFrame(() => "
                "window.webkit.messageHandlers.painted.postMessage(1)));</script>";
        webkit_web_view_load_html(view, html.c_str(), WebViewCoordinator::internalBaseURL);
        return iterateUntil([&] { return painted; });
    }
};

PaintTarget* target() {
    static PaintTarget* made = gtk_init_check() ? new PaintTarget() : nullptr;  // lives until the run ends
    return made;
}

void paintPage(benchmark::State& state, InternalPageRoute::Case route) {
    PaintTarget* paint = target();
    if (!paint) return state.SkipWithError("no display");
    static LocalResourceScheme resources([] { return std::vector<std::string>{}; });  // the logo loads
    InternalPageContext context;
    context.route = InternalPageRoute(route);
    context.profileData = quorelle::testing::makeSampleProfile(1, {.history = 5000, .bookmarks = 5000});
    context.profileData.downloads = quorelle::testing::sampleDownloads(1, 5000);
    context.bridgeToken = "0123456789abcdef0123456789abcdef";
    paint->show("<html><body>warm</body></html>");  // the web process is running
    for (auto _ : state) {
        if (!paint->show(InternalPageRenderer::html(context.route, context))) return state.SkipWithError("no paint");
        state.PauseTiming();
        paint->show("<html><body>between</body></html>");
        state.ResumeTiming();
    }
}

void BM_HistoryPage5000Painted(benchmark::State& state) { paintPage(state, InternalPageRoute::history); }
BENCHMARK(BM_HistoryPage5000Painted)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_BookmarksPage5000Painted(benchmark::State& state) { paintPage(state, InternalPageRoute::bookmarks); }
BENCHMARK(BM_BookmarksPage5000Painted)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

void BM_DownloadsPage5000Painted(benchmark::State& state) { paintPage(state, InternalPageRoute::downloads); }
BENCHMARK(BM_DownloadsPage5000Painted)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

}  // namespace
