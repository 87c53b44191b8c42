// The web services acting on real web views: the user-agent identity, the
// engine's inspector and the inspector's page scripts, and the browser's own
// images for internal pages.
#include "web/BrowserIdentityManager.h"
#include "web/InspectorService.h"
#include "web/LocalResourceScheme.h"
#include "web/ProductLogo.h"
#include "webkit/WebTestSupport.h"

#include <fstream>

namespace quorelle::testing {
namespace {

class ServicesInViewTest : public WebTest {
protected:
    // The natural width of the image at `address` as the page shown loads it; 0 when refused.
    int imageWidth(const std::string& address) {
        evalJS("window.vxWidth = undefined; var i = new Image(); i.onload = function() { vxWidth = i.naturalWidth; };"
               " i.onerror = function() { vxWidth = 0; }; i.src = '" + address + "'; 0");
        std::string width;
        runUntil([&] {
            width = evalJS("String(window.vxWidth)");
            return width != "\"undefined\"";
        });
        return std::atoi(width.substr(1).c_str());
    }
};

TEST_F(ServicesInViewTest, InternalPagesDrawTheLogoAndOnlyTheChosenLocalBackground) {
    const std::string chosen = scratch_ + "/chosen.png", other = scratch_ + "/other.png", huge = scratch_ + "/huge.png";
    for (const auto& path : {chosen, other, huge}) std::ofstream(path, std::ios::binary) << ProductLogo::pngBytes();
    std::filesystem::resize_file(huge, LocalResourceScheme::maximumImageBytes + 1);
    LocalResourceScheme resources([&] { return std::vector<std::string>{chosen, huge}; });
    start();
    EXPECT_GT(imageWidth(LocalResourceScheme::logoAddress()), 0);

    state->setBackgroundImageURL(chosen);
    std::string shown;  // the page's background image address
    ASSERT_TRUE(runUntil([&] {
        shown = evalJS("getComputedStyle(document.body).backgroundImage.slice(5, -2)");
        return shown.find("://") != std::string::npos;
    })) << shown;
    shown = shown.substr(1, shown.size() - 2);
    EXPECT_GT(imageWidth(shown), 0) << shown;
    // Nothing but the chosen file, and only within the size limit.
    EXPECT_EQ(imageWidth(LocalResourceScheme::backgroundAddress(other)), 0);
    EXPECT_EQ(imageWidth(LocalResourceScheme::backgroundAddress(huge)), 0);
    EXPECT_EQ(imageWidth("vx-local://QuorelleLogo/../../etc/passwd"), 0);

    // A web page gets nothing from these addresses.
    server.addHTML("/web", "<html><body>web</body></html>");
    ASSERT_TRUE(loadPage(server.url("/web")));
    EXPECT_EQ(imageWidth(shown), 0);
    EXPECT_EQ(imageWidth(LocalResourceScheme::logoAddress()), 0);
}

TEST_F(ServicesInViewTest, ChosenUserAgentIsSentWithTheNextRequest) {
    server.addHTML("/ua", "<html><head><title>UA</title></head><body>ua</body></html>");
    start();
    ASSERT_TRUE(loadPage(server.url("/ua")));
    const std::string engineOwn = server.userAgents.back();
    EXPECT_FALSE(engineOwn.empty());

    state->setUserAgentPreset(UserAgentPreset::chromeIOS, std::nullopt);
    const auto expected = BrowserIdentityManager::userAgentString(state->settings().userAgent);
    ASSERT_TRUE(expected);
    state->reloadTab(tab());
    ASSERT_TRUE(runUntil([&] { return server.userAgents.size() >= 2 && !webkit_web_view_is_loading(view()); }));
    EXPECT_EQ(server.userAgents.back(), *expected);
    EXPECT_EQ(evalJS("navigator.userAgent"), "\"" + *expected + "\"");

    // Custom text the engine cannot send gives its own identity, never the
    // one chosen before; the default preset does the same.
    std::size_t requests = server.userAgents.size();
    for (const char* custom : std::initializer_list<const char*>{"   ", "Agent/1.0\x01", nullptr}) {
        state->setUserAgentPreset(UserAgentPreset::chromeIOS, std::nullopt);
        if (custom)
            state->setUserAgentPreset(UserAgentPreset::custom, std::string(custom));
        else
            state->setUserAgentPreset(UserAgentPreset::default_, std::nullopt);
        state->reloadTab(tab());
        ++requests;
        ASSERT_TRUE(runUntil(
            [&] { return server.userAgents.size() >= requests && !webkit_web_view_is_loading(view()); }));
        EXPECT_EQ(server.userAgents.back(), engineOwn) << (custom ? custom : "default");
    }
}

TEST_F(ServicesInViewTest, InspectCommandOpensTheEnginesInspector) {
    start();
    bool opened = false;
    WebKitWebInspector* inspector = webkit_web_view_get_inspector(view());
    // The engine first offers to attach the inspector to the page, then to
    // open a window for it; either answer means it is being shown.
    for (const char* signal : {"attach", "open-window"}) {
        g_signal_connect(inspector, signal, G_CALLBACK(+[](WebKitWebInspector*, gpointer data) {
                             *static_cast<bool*>(data) = true;
                             return TRUE;  // no real inspector window in tests
                         }),
                         &opened);
    }
    commands->post(TabCommand::inspect, Uuid::random());
    runFor(200);
    EXPECT_FALSE(opened);
    commands->post(TabCommand::inspect, tab()->id());
    EXPECT_TRUE(runUntil([&] { return opened; }));
    EXPECT_TRUE(webkit_settings_get_enable_developer_extras(webkit_web_view_get_settings(view())));
    EXPECT_FALSE(state->showInspectorPanel.get());
    g_signal_handlers_disconnect_by_data(inspector, &opened);
}

TEST_F(ServicesInViewTest, InjectedStylesheetAndRewrittenDocumentReachThePage) {
    server.addHTML("/plain", "<html><head><title>Plain</title></head><body><p id=p>text</p></body></html>");
    start();
    ASSERT_TRUE(loadPage(server.url("/plain")));
    InspectorService inspector(queue);
    std::optional<bool> injected;
    inspector.injectCSS("p { color: rgb(1, 2, 3) }\r\n/* it's </style> */", *host(), [&](bool ok) { injected = ok; });
    ASSERT_TRUE(runUntil([&] { return injected.has_value(); }));
    EXPECT_TRUE(*injected);
    EXPECT_EQ(evalJS("getComputedStyle(document.getElementById('p')).color"), "\"rgb(1, 2, 3)\"");

    std::optional<InspectorPageContext> context;
    inspector.fetchPageContext(*host(), [&](InspectorPageContext c) { context = std::move(c); });
    ASSERT_TRUE(runUntil([&] { return context.has_value(); }));
    EXPECT_EQ(context->title, "Plain");
    EXPECT_NE(context->documentHTML.find("<p id=\"p\">text</p>"), std::string::npos);

    std::optional<bool> applied;
    inspector.applyHTML("<html><head><title>New</title></head><body>`${x}` \\ '\"</body></html>", *host(),
                        [&](bool ok) { applied = ok; });
    ASSERT_TRUE(runUntil([&] { return applied.has_value(); }));
    EXPECT_TRUE(*applied);
    EXPECT_EQ(evalJS("document.body.textContent"), "\"`${x}` \\\\ '\\\"\"");
}

}  // namespace
}  // namespace quorelle::testing
