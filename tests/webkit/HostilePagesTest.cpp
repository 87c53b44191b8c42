// Every internal page rendered from hostile user data and loaded into a real
// web view: no value may run script or add markup of its own.
#include "support/HostileCorpus.h"
#include "web/InternalPageRenderer.h"
#include "webkit/WebTestSupport.h"

namespace quorelle::testing {
namespace {

class HostilePagesTest : public WebTest {
protected:
    void SetUp() override {
        page = GObjectPtr<WebKitWebView>::sink(WEBKIT_WEB_VIEW(webkit_web_view_new()));
        gtk_window_set_child(window, GTK_WIDGET(page.get()));
        g_signal_connect(page.get(), "script-dialog", G_CALLBACK(+[](WebKitWebView*, WebKitScriptDialog*, gpointer data) {
                             ++*static_cast<int*>(data);
                             return TRUE;
                         }),
                         &dialogs);
        g_signal_connect(page.get(), "load-changed", G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, gpointer data) {
                             if (event == WEBKIT_LOAD_FINISHED) ++*static_cast<int*>(data);
                         }),
                         &finished);
    }
    void TearDown() override { g_signal_handlers_disconnect_by_data(page.get(), &dialogs), g_signal_handlers_disconnect_by_data(page.get(), &finished); }

    void show(const std::string& html) {
        const int before = finished;
        webkit_web_view_load_html(page.get(), html.c_str(), WebViewCoordinator::internalBaseURL);
        ASSERT_TRUE(runUntil([&] { return finished > before; }));
    }
    // Runs the body of an async function in the page and waits for what it
    // returns.
    std::string eval(const std::string& body) {
        std::string out;
        bool done = false;
        struct Answer {
            std::string* out;
            bool* done;
        };
        webkit_web_view_call_async_javascript_function(
            page.get(), body.c_str(), -1, nullptr, nullptr, nullptr, nullptr,
            [](GObject* source, GAsyncResult* result, gpointer data) {
                auto* answer = static_cast<Answer*>(data);
                if (JSCValue* value =
                        webkit_web_view_call_async_javascript_function_finish(WEBKIT_WEB_VIEW(source), result, nullptr)) {
                    gchar* text = jsc_value_to_string(value);
                    *answer->out = text ? text : "";
                    g_free(text);
                    g_object_unref(value);
                }
                *answer->done = true;
                delete answer;
            },
            new Answer{&out, &done});
        runUntil([&] { return done; });
        return out;
    }

    GObjectPtr<WebKitWebView> page;
    int dialogs = 0;
    int finished = 0;
};

TEST_F(HostilePagesTest, NoStoredValueRunsScriptOrAddsMarkup) {
    const std::size_t rounds = hostile::payloads().size();
    for (auto route : InternalPageRoute::allCases()) {
        for (std::size_t offset = 0; offset < rounds; offset += 3) {
            show(InternalPageRenderer::html(route, hostile::hostileContext(route, offset)));
            // Once every image has loaded or failed and the page's timers had
            // their turn, any handler a value smuggled in has run: its dialog
            // reaches the browser before this answer does.
            EXPECT_EQ(eval("await Promise.all([...document.images].map(i => i.complete ? 0 : new Promise(done => {"
                           "  i.addEventListener('load', done); i.addEventListener('error', done); })));"
                           "await new Promise(done => setTimeout(done, 0));"
                           "return String(document.getElementById('QZX')) + ' ' +"
                           "  document.querySelectorAll('img[src^=\"javascript\"]').length;"),
                      "null 0")
                << route.rawValue() << " offset " << offset;
            EXPECT_EQ(dialogs, 0) << route.rawValue() << " offset " << offset;
        }
    }
}

}  // namespace
}  // namespace quorelle::testing
