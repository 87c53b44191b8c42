#include "web/InspectorService.h"

#include "services/ScriptSandbox.h"
#include "support/StateTestSupport.h"
#include "web/CommandBus.h"
#include "web/IInspectableView.h"

#include <gtest/gtest.h>

#include <map>

namespace quorelle::testing {
namespace {

// A page stand-in for the sandbox: a head that records appended elements,
// element lookup by id, and a document.write that records what it was given.
constexpr const char* kFakeDocument = R"JS(
var written = [];
var document = {
  title: '', documentElement: null,
  head: { children: [], appendChild: function(e) { this.children.push(e); } },
  createElement: function(tag) { return { tag: tag, id: '', textContent: '' }; },
  getElementById: function(id) {
    for (var i = 0; i < this.head.children.length; i++)
      if (this.head.children[i].id === id) return this.head.children[i];
    return null;
  },
  open: function() {}, write: function(t) { written.push(t); }, close: function() {}
};
var window = {};
)JS";

const std::string kHostileText =
    "a\\b 'single' \"double\" `tick` ${alert(1)} $x\nline\r\nbreak \xE2\x80\xA8sep\xE2\x80\xA9para "
    "</style><script>alert(2)</script> \\` \\${";

// Answers scripts only when the test says so, like an engine that finishes
// them later.
class ScriptedView : public IScriptableView {
public:
    std::optional<std::string> currentURL() const override { return url; }
    void evaluateScript(const std::string& script, std::function<void(ScriptResult)> done) override {
        scripts.push_back(script);
        pending.push_back(std::move(done));
    }
    void answer(ScriptResult result) {
        auto done = std::move(pending.front());
        pending.erase(pending.begin());
        done(std::move(result));
    }

    std::optional<std::string> url;
    std::vector<std::string> scripts;
    std::vector<std::function<void(ScriptResult)>> pending;
};

class InspectableView : public IInspectableView {
public:
    explicit InspectableView(bool engineInspector) : engineInspector(engineInspector) {}
    void enableDeveloperExtras() override { extrasEnabled = true; }
    bool showEngineInspector() override {
        if (engineInspector) ++engineInspectorShown;
        return engineInspector;
    }
    bool engineInspector;
    bool extrasEnabled = false;
    int engineInspectorShown = 0;
};

TEST(InspectorScriptsTest, ReplacementHTMLReachesThePageUnchanged) {
    ScriptSandbox sandbox;
    ASSERT_TRUE(sandbox.run(kFakeDocument));
    ASSERT_TRUE(sandbox.run(InspectorService::applyHTMLScript(kHostileText)));
    EXPECT_EQ(sandbox.string("written.length === 1 ? written[0] : null"), kHostileText);
    EXPECT_EQ(InspectorService::applyHTMLScript("<p>x</p>"),
              "document.open(); document.write(`<p>x</p>`); document.close();");
}

TEST(InspectorScriptsTest, InjectedCSSLandsUnchangedAndASecondInjectionReplacesTheFirst) {
    ScriptSandbox sandbox;
    ASSERT_TRUE(sandbox.run(kFakeDocument));
    ASSERT_TRUE(sandbox.run(InspectorService::injectCSSScript("body { color: red; }")));
    ASSERT_TRUE(sandbox.run(InspectorService::injectCSSScript(kHostileText)));
    EXPECT_EQ(sandbox.string("document.head.children.length === 1 ? document.head.children[0].id : null"),
              "vx-inspector-style");
    EXPECT_EQ(sandbox.string("document.head.children[0].textContent"), kHostileText);
}

TEST(InspectorScriptsTest, QuotedStringEscapingCoversEveryLiteralBreaker) {
    EXPECT_EQ(InspectorService::escapeForQuotedString("\\'\"\n\r\xE2\x80\xA8\xE2\x80\xA9</a/"),
              "\\\\\\'\\\"\\n\\r\\u2028\\u2029<\\/a/");
    EXPECT_EQ(InspectorService::escapeForTemplateLiteral("\\`$\r\n\xE2\x80\xA8"), "\\\\\\`\\$\\r\n\xE2\x80\xA8");
}

TEST(InspectorScriptsTest, ThePageReadScriptReturnsTitleDocumentAndSelectedElement) {
    ScriptSandbox sandbox;
    ASSERT_TRUE(sandbox.run(
        "var p = { outerHTML: '<p>chosen words</p>' };"
        "var window = { getSelection: function() { return { anchorNode: { parentElement: p } }; } };"
        "var document = { title: 'T', documentElement: { outerHTML: '<html></html>' } };"));
    const auto json = sandbox.run(std::string(InspectorService::pageContextScript()));
    ASSERT_TRUE(json);
    const auto context = InspectorService::pageContext("https://a.example/", {std::nullopt, *json});
    EXPECT_EQ(context, (InspectorPageContext{"https://a.example/", "T", "<html></html>", "<p>chosen words</p>"}));

    // No selection API at all: the read still works, without a selected element.
    ASSERT_TRUE(sandbox.run("window = {}; document = { title: '', documentElement: null };"));
    const auto bare = sandbox.run(std::string(InspectorService::pageContextScript()));
    ASSERT_TRUE(bare);
    EXPECT_EQ(InspectorService::pageContext("", {std::nullopt, *bare}), InspectorPageContext{});
}

TEST(InspectorScriptsTest, AnUnexpectedReadResultFallsBackToAnEmptySnapshotWithTheAddress) {
    const InspectorPageContext empty{"https://a.example/", "", "", std::nullopt};
    EXPECT_EQ(InspectorService::pageContext("https://a.example/", {"TypeError", ""}), empty);
    EXPECT_EQ(InspectorService::pageContext("https://a.example/", {std::nullopt, "[1,2]"}), empty);
    EXPECT_EQ(InspectorService::pageContext("https://a.example/", {std::nullopt, "not json"}), empty);
    EXPECT_EQ(InspectorService::pageContext("https://a.example/", {std::nullopt, R"({"title":5,"html":null,"selectedHTML":7})"}),
              empty);
}

class InspectorServiceTest : public StateTest {
protected:
    InspectorServiceTest() : service(std::make_unique<InspectorService>(*queue_)) {}

    std::unique_ptr<InspectorService> service;
    ScriptedView view;
};

TEST_F(InspectorServiceTest, TheSnapshotCarriesTheAddressOfTheMomentItWasRequested) {
    view.url = "https://before.example/";
    std::optional<InspectorPageContext> snapshot;
    service->fetchPageContext(view, [&](InspectorPageContext c) { snapshot = std::move(c); });
    view.url = "https://after.example/";
    view.answer({std::nullopt, R"({"title":"Before","html":"<html></html>","selectedHTML":null})"});
    EXPECT_FALSE(snapshot);  // only on a later turn of the main queue
    drain();
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(*snapshot, (InspectorPageContext{"https://before.example/", "Before", "<html></html>", std::nullopt}));
}

TEST_F(InspectorServiceTest, AViewWithoutAnAddressGivesAnEmptyAddress) {
    std::optional<InspectorPageContext> snapshot;
    service->fetchPageContext(view, [&](InspectorPageContext c) { snapshot = std::move(c); });
    view.answer({"ReferenceError: document", ""});
    drain();
    ASSERT_TRUE(snapshot);
    EXPECT_EQ(*snapshot, InspectorPageContext{});
}

TEST_F(InspectorServiceTest, RewritesAndInjectionsReportWhetherTheScriptRan) {
    std::vector<std::string> outcomes;
    auto record = [&](const char* what) {
        return [&outcomes, what](bool ok) { outcomes.push_back(std::string(what) + (ok ? " ok" : " failed")); };
    };
    service->applyHTML("<p>1</p>", view, record("html"));
    service->injectCSS("p{}", view, record("css"));
    service->injectCSS("p{}", view, record("css"));
    ASSERT_EQ(view.scripts.size(), 3u);
    EXPECT_EQ(view.scripts[1], InspectorService::injectCSSScript("p{}"));
    view.answer({std::nullopt, ""});
    view.answer({"TypeError: null is not an object (evaluating 'document.head.appendChild')", ""});
    view.answer({std::nullopt, "null"});
    EXPECT_TRUE(outcomes.empty());
    drain();
    EXPECT_EQ(outcomes, (std::vector<std::string>{"html ok", "css failed", "css ok"}));
}

TEST_F(InspectorServiceTest, AnswersArrivingAfterTheServiceIsGoneReachNobody) {
    bool called = false;
    service->injectCSS("p{}", view, [&](bool) { called = true; });
    service->fetchPageContext(view, [&](InspectorPageContext) { called = true; });
    view.answer({std::nullopt, ""});  // queued, then the service goes away
    service.reset();
    view.answer({std::nullopt, "{}"});
    drain();
    EXPECT_FALSE(called);
}

class OpenInspectorTest : public StateTest {
protected:
    void SetUp() override {
        state = makeState();
        drain();
        state->newTab("https://b.example");
        drain();
    }
    InspectorService::ViewForTab lookup() {
        return [this](const Uuid& id) -> IInspectableView* {
            const auto found = views.find(id);
            return found == views.end() ? nullptr : &found->second;
        };
    }
    AppState::TabPtr tab(std::size_t i) const { return state->tabs.get().at(i); }

    std::shared_ptr<AppState> state;
    std::map<Uuid, InspectableView> views;
};

TEST_F(OpenInspectorTest, TheEnginesInspectorLeavesThePanelClosed) {
    views.emplace(tab(0)->id(), InspectableView(true));
    InspectorService::openInspector(*tab(0), *state, lookup());
    EXPECT_TRUE(views.at(tab(0)->id()).extrasEnabled);
    EXPECT_EQ(views.at(tab(0)->id()).engineInspectorShown, 1);
    EXPECT_FALSE(state->showInspectorPanel.get());
    EXPECT_EQ(state->inspectorTabID.get(), std::nullopt);
}

TEST_F(OpenInspectorTest, WithoutAnEngineInspectorThePanelFollowsTheLastTabAsked) {
    views.emplace(tab(0)->id(), InspectableView(false));
    views.emplace(tab(1)->id(), InspectableView(false));
    InspectorService::openInspector(*tab(0), *state, lookup());
    InspectorService::openInspector(*tab(0), *state, lookup());
    EXPECT_TRUE(state->showInspectorPanel.get());
    EXPECT_EQ(state->inspectorTabID.get(), tab(0)->id());
    InspectorService::openInspector(*tab(1), *state, lookup());
    EXPECT_EQ(state->inspectorTabID.get(), tab(1)->id());
    EXPECT_TRUE(views.at(tab(1)->id()).extrasEnabled);
}

TEST_F(OpenInspectorTest, InspectingATabWhoseViewWasNeverCreatedDoesNothing) {
    CommandBus bus(*queue_);
    auto connection = bus.connectForTab(TabCommand::inspect, tab(1)->id(),
                                        [&] { InspectorService::openInspector(*tab(1), *state, lookup()); });
    bus.post(TabCommand::inspect, tab(1)->id());
    drain();
    EXPECT_FALSE(state->showInspectorPanel.get());
    EXPECT_EQ(state->inspectorTabID.get(), std::nullopt);
    connection.disconnect();
}

}  // namespace
}  // namespace quorelle::testing
