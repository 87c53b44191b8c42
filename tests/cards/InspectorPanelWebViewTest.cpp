// The inspector panel against a real web view showing a loopback page: it
// reads the page, replaces its document and styles it through page scripts,
// and reports each outcome as it really was.
#include "cards/InspectorPanel.h"
#include "web/InspectorService.h"
#include "webkit/WebTestSupport.h"

namespace quorelle::testing {
namespace {

constexpr const char* pageHTML =
    "<!doctype html><html><head><title>Loopback page</title></head>"
    "<body><p id=\"greeting\">hello</p></body></html>";

class InspectorPanelWebViewTest : public WebTest {
protected:
    InspectorPanelWebViewTest() : inspector(queue) {}
    ~InspectorPanelWebViewTest() override { panel.reset(); }

    void openOn(const std::string& path) {
        start();
        ASSERT_TRUE(loadPage(server.url(path)));
        state->inspectorTabID.set(tab()->id());
        state->showInspectorPanel.set(true);
        panel = std::make_unique<InspectorPanel>(*state, inspector, InspectorPanel::lookupIn(*webStore));
        panel->refresh();
        ASSERT_TRUE(runUntil([&] { return !panel->pageContext().url.empty() && queue.pending() == 0; }));
    }
    bool waitForToast() {
        return runUntil([&] { return state->toastMessage.get().has_value() && queue.pending() == 0; });
    }
    std::string toast() const { return state->toastMessage.get().value_or(""); }

    InspectorService inspector;
    std::unique_ptr<InspectorPanel> panel;
};

TEST_F(InspectorPanelWebViewTest, ReadsTheAddressTitleAndDocumentOfTheInspectedTab) {
    server.addHTML("/page", pageHTML);
    openOn("/page");
    EXPECT_EQ(panel->urlValueLabel().get_text().raw(), server.url("/page"));
    EXPECT_EQ(panel->titleValueLabel().get_text().raw(), "Loopback page");
    EXPECT_NE(panel->editableHTML().find("<p id=\"greeting\">hello</p>"), std::string::npos);
    EXPECT_TRUE(panel->nativeAvailable());  // the engine always has its own inspector here
    EXPECT_EQ(panel->limitationNote(), InspectorPanel::webPageNote);
    EXPECT_TRUE(panel->applyHTMLButton().get_sensitive());
}

TEST_F(InspectorPanelWebViewTest, ApplyHtmlReplacesThePageAndShowsItsNewSerialisation) {
    server.addHTML("/page", pageHTML);
    openOn("/page");
    panel->htmlEditor().get_buffer()->set_text("<p id=\"swapped\">new body</p>");
    g_signal_emit_by_name(panel->applyHTMLButton().gobj(), "clicked");
    ASSERT_TRUE(waitForToast());
    EXPECT_EQ(toast(), "HTML applied");
    // The editor takes the page's serialisation, which wraps what was typed
    // in the head and body the page adds.
    ASSERT_TRUE(runUntil([&] { return panel->editableHTML().starts_with("<html>"); })) << panel->editableHTML();
    EXPECT_NE(panel->editableHTML().find("<head></head><body><p id=\"swapped\">new body</p></body>"),
              std::string::npos)
        << panel->editableHTML();
    EXPECT_EQ(evalJS("document.getElementById('swapped').textContent"), "\"new body\"");
}

TEST_F(InspectorPanelWebViewTest, InjectingTwiceKeepsOneStylesheetHoldingTheSecond) {
    server.addHTML("/page", pageHTML);
    openOn("/page");
    auto inject = [&](const char* css) {
        state->toastMessage.set(std::nullopt);
        panel->cssEditor().get_buffer()->set_text(css);
        g_signal_emit_by_name(panel->injectCSSButton().gobj(), "clicked");
        return waitForToast();
    };
    ASSERT_TRUE(inject("p { color: rgb(1, 2, 3); }"));
    EXPECT_EQ(toast(), "CSS injected");
    ASSERT_TRUE(inject("p { color: rgb(4, 5, 6); }\r\n"));
    EXPECT_EQ(toast(), "CSS injected");
    EXPECT_EQ(evalJS("document.querySelectorAll('#vx-inspector-style').length"), "1");
    EXPECT_EQ(evalJS("getComputedStyle(document.getElementById('greeting')).color"), "\"rgb(4, 5, 6)\"");
}

TEST_F(InspectorPanelWebViewTest, InjectingIntoAPageWithoutAHeadSaysItCouldNot) {
    server.add("/drawing.svg",
               LoopbackServer::Page{200, "image/svg+xml",
                                    "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\">"
                                    "<rect width=\"10\" height=\"10\"/></svg>"});
    openOn("/drawing.svg");
    panel->cssEditor().get_buffer()->set_text("rect { fill: red; }");
    g_signal_emit_by_name(panel->injectCSSButton().gobj(), "clicked");
    ASSERT_TRUE(waitForToast());
    EXPECT_EQ(toast(), "Could not inject CSS on this page");
}

}  // namespace
}  // namespace quorelle::testing
