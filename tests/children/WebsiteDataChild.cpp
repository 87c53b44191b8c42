// One run of the browser's website data in a process of its own, so that a
// test can quit and start again on the same folders:
//   WebsiteDataChild keep <folder>   a guest view sets a cookie (nothing may
//                                    change in <folder>/data), then a normal
//                                    view sets a cookie for a day (and a
//                                    local-storage item, so that storage
//                                    files exist too);
//   WebsiteDataChild read <folder>   a normal view reads the cookie back.
// Pages come from a loopback server; cookies belong to the host, whatever the
// port. Exits 0 when every step held, else prints what did not.
#include "model/GLibPtr.h"
#include "state/WebsiteDataStoreKind.h"
#include "store/MainQueue.h"
#include "support/LoopbackServer.h"
#include "support/MainLoopWait.h"
#include "web/WebsiteDataService.h"

#include <gtk/gtk.h>
#include <webkit/webkit.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace quorelle;
using namespace quorelle::testing;

bool loadAndWait(WebKitWebView* view, const std::string& url) {
    bool finished = false;
    const gulong handler = g_signal_connect(view, "load-changed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event,
                                                                                  gpointer done) {
                                                if (event == WEBKIT_LOAD_FINISHED) *static_cast<bool*>(done) = true;
                                            }),
                                            &finished);
    webkit_web_view_load_uri(view, url.c_str());
    const bool loaded = runUntil([&] { return finished; });
    g_signal_handler_disconnect(view, handler);
    return loaded;
}

std::string evaluate(WebKitWebView* view, const char* script) {
    std::optional<std::string> answer;
    webkit_web_view_evaluate_javascript(
        view, script, -1, nullptr, nullptr, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, nullptr);
            gchar* text = value ? jsc_value_to_string(value) : nullptr;
            *static_cast<std::optional<std::string>*>(data) = text ? text : "<error>";
            g_free(text);
            if (value) g_object_unref(value);
        },
        &answer);
    runUntil([&] { return answer.has_value(); });
    return answer.value_or("<no answer>");
}

GObjectPtr<WebKitWebView> makeView(GtkWindow* window, WebKitNetworkSession* session) {
    auto view = GObjectPtr<WebKitWebView>::sink(
        WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "network-session", session, nullptr)));
    gtk_window_set_child(window, GTK_WIDGET(view.get()));
    return view;
}

// The names in `folder`, sorted; nothing when it is not there.
std::optional<std::vector<std::string>> namesIn(const std::string& folder) {
    std::error_code error;
    std::filesystem::directory_iterator it(folder, error);
    if (error) return std::nullopt;
    std::vector<std::string> names;
    for (; !error && it != std::filesystem::directory_iterator(); it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

int fail(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || !gtk_init_check()) return 2;
    const std::string step = argv[1];
    const std::string folder = argv[2];
    MainQueue queue;
    LoopbackServer server;
    LoopbackServer::Page keep{200, "text/html; charset=utf-8",
                              "<script>localStorage.setItem('kept', 'yes')</script>", {}};
    keep.headers = {{"Set-Cookie", "kept=yes; Max-Age=86400; Path=/"}};
    server.add("/keep", keep);
    LoopbackServer::Page guest{200, "text/html; charset=utf-8", "guest", {}};
    guest.headers = {{"Set-Cookie", "guest=yes; Max-Age=86400; Path=/"}};
    server.add("/guest", guest);
    server.addHTML("/read", "<p>read</p>");

    WebsiteDataService websiteData(queue, {folder + "/data", folder + "/cache"});
    GtkWindow* window = GTK_WINDOW(gtk_window_new());
    gtk_window_present(window);
    int status = 0;
    if (step == "keep") {
        const auto before = namesIn(folder + "/data");
        auto ephemeral = websiteData.sessionFor(WebsiteDataStoreKind::nonPersistent);
        auto guestView = makeView(window, ephemeral.get());
        if (!loadAndWait(guestView.get(), server.url("/guest"))) return fail("the guest page did not load");
        if (evaluate(guestView.get(), "document.cookie") != "guest=yes") return fail("the guest cookie was not set");
        if (namesIn(folder + "/data") != before) return fail("a guest view wrote under the data folder");

        auto session = websiteData.sessionFor(WebsiteDataStoreKind::defaultPersistent);
        auto view = makeView(window, session.get());
        if (!loadAndWait(view.get(), server.url("/keep"))) return fail("the page did not load");
        const std::string cookie = evaluate(view.get(), "document.cookie");
        if (cookie != "kept=yes") status = fail("cookie after setting: " + cookie);
    } else {
        auto session = websiteData.sessionFor(WebsiteDataStoreKind::defaultPersistent);
        auto view = makeView(window, session.get());
        if (!loadAndWait(view.get(), server.url("/read"))) return fail("the page did not load");
        const std::string cookie = evaluate(view.get(), "document.cookie");
        if (cookie != "kept=yes") status = fail("cookie after the restart: '" + cookie + "'");
    }
    gtk_window_destroy(window);
    return status;
}
