// The browser's own inspector panel over a scripted page: what it reads,
// what its buttons do to the page, and the toasts they leave.
#include "cards/CardOverPage.h"
#include "cards/InspectorPanel.h"
#include "web/IInspectableView.h"
#include "web/InspectorService.h"
#include "window/WindowTestSupport.h"

#include <gtkmm/stackpage.h>
#include <nlohmann/json.hpp>

#include <map>

namespace quorelle::testing {
namespace {

// A page that answers the inspector's scripts from fields the test sets.
class ScriptedPage : public IScriptableView, public IInspectableView {
public:
    std::optional<std::string> url = std::string("http://127.0.0.1:8080/plain");
    std::string title;
    std::string html = "<html><head></head><body>hello</body></html>";
    std::optional<std::string> selected;
    bool refusesScripts = false;
    bool engineInspector = true;
    std::vector<std::string> scripts;
    int extrasEnabled = 0;
    int inspectorShown = 0;

    std::optional<std::string> currentURL() const override { return url; }
    void evaluateScript(const std::string& script, std::function<void(ScriptResult)> done) override {
        scripts.push_back(script);
        ScriptResult result;
        if (refusesScripts) {
            result.error = "refused";
        } else if (script == InspectorService::pageContextScript()) {
            nlohmann::json value = {{"html", html}, {"title", title}, {"selectedHTML", nullptr}};
            if (selected) value["selectedHTML"] = *selected;
            result.valueJSON = value.dump();
        } else if (script.starts_with("document.open")) {
            html = "<html><head></head><body>replaced</body></html>";
        }
        done(std::move(result));
    }
    void enableDeveloperExtras() override { ++extrasEnabled; }
    bool showEngineInspector() override {
        ++inspectorShown;
        return engineInspector;
    }
};

class InspectorPanelTest : public WindowTest {
protected:
    InspectorPanelTest() : inspector(*queue_), state(makeState()) {
        pages[state->activeTab()->id()] = &page;
        state->inspectorTabID.set(state->activeTab()->id());
        state->showInspectorPanel.set(true);
    }
    ~InspectorPanelTest() override {
        over.takeDown(window_.get());
        panel.reset();
    }

    InspectorPanel::ViewLookup lookup() {
        return {[this](const Uuid& id) -> IScriptableView* {
                    asked.push_back(id);
                    auto found = pages.find(id);
                    return found == pages.end() ? nullptr : found->second;
                },
                [this](const Uuid& id) -> IInspectableView* {
                    auto found = pages.find(id);
                    return found == pages.end() ? nullptr : found->second;
                }};
    }
    // A new panel on screen, after its first read came back.
    InspectorPanel& open() {
        over.takeDown(window_.get());
        panel = std::make_unique<InspectorPanel>(*state, inspector, lookup());
        showInWindow(over.layer(), 700);
        over.lay(*panel);
        settle();
        return *panel;
    }
    static void click(Gtk::Button& button) { g_signal_emit_by_name(button.gobj(), "clicked"); }
    static std::string text(Gtk::Label& label) { return label.get_text().raw(); }
    std::string toast() const { return state->toastMessage.get().value_or(""); }

    InspectorService inspector;
    std::shared_ptr<AppState> state;
    ScriptedPage page;
    std::map<Uuid, ScriptedPage*> pages;
    std::vector<Uuid> asked;
    CardOverPage over;
    std::unique_ptr<InspectorPanel> panel;
};

TEST_F(InspectorPanelTest, SegmentsAreOverviewHtmlAndCssByTheirLabels) {
    using Tab = InspectorPanel::InspectorTab;
    EXPECT_EQ(InspectorPanel::inspectorTab("Overview"), Tab::overview);
    EXPECT_EQ(InspectorPanel::inspectorTab("HTML"), Tab::html);
    EXPECT_EQ(InspectorPanel::inspectorTab("CSS"), Tab::css);
    EXPECT_EQ(InspectorPanel::inspectorTab("overview"), std::nullopt);
    EXPECT_EQ(InspectorPanel::inspectorTab(""), std::nullopt);

    auto& p = open();
    std::vector<std::string> labels;
    for (auto* child = p.segments().get_first_child(); child; child = child->get_next_sibling())
        labels.push_back(p.segments().get_page(*child)->property_title().get_value().raw());
    EXPECT_EQ(labels, (std::vector<std::string>{"Overview", "HTML", "CSS"}));
    EXPECT_EQ(p.selectedTab(), Tab::overview);
    // The overview has no field: the focus starts on the first control.
    EXPECT_TRUE(CardOverPage::holdsFocus(p.refreshButton()));
    EXPECT_GE(p.get_width(), InspectorPanel::minimumWidth);
    EXPECT_GE(p.get_height(), InspectorPanel::minimumHeight);
}

TEST_F(InspectorPanelTest, WebPageWithoutTitleOrSelectionShowsAddressDashAndClientHintsNote) {
    state->activeTab()->isInternal.set(false);
    auto& p = open();
    EXPECT_EQ(text(p.urlValueLabel()), "http://127.0.0.1:8080/plain");
    EXPECT_EQ(text(p.titleValueLabel()), "\u2014");
    EXPECT_EQ(text(p.nativeValueLabel()), "Available (WebKit)");
    EXPECT_FALSE(p.selectedElementBlock().get_visible());
    EXPECT_TRUE(p.noteLabel().get_visible());
    EXPECT_EQ(text(p.noteLabel()), InspectorPanel::webPageNote);
    EXPECT_EQ(p.editableHTML(), page.html);
    // Opening reads the page and changes nothing in it.
    EXPECT_EQ(page.scripts, std::vector<std::string>{std::string(InspectorService::pageContextScript())});
}

TEST_F(InspectorPanelTest, TitleAndSelectedElementAreShownWhenThePageHasThem) {
    page.title = "Loopback page";
    page.selected = "<p id=\"chosen\">hello</p>";
    auto& p = open();
    EXPECT_EQ(text(p.titleValueLabel()), "Loopback page");
    EXPECT_TRUE(p.selectedElementBlock().get_visible());
    EXPECT_EQ(text(p.selectedElementLabel()), "<p id=\"chosen\">hello</p>");
}

TEST_F(InspectorPanelTest, InternalActiveTabGivesTheInternalPagesNote) {
    state->activeTab()->isInternal.set(true);
    auto& p = open();
    EXPECT_EQ(text(p.noteLabel()), InspectorPanel::internalPageNote);
}

TEST_F(InspectorPanelTest, WithoutAnInspectedViewOnlyTheNoteShowsAndActionsAreDisabled) {
    state->inspectorTabID.set(std::nullopt);
    auto& p = open();
    EXPECT_EQ(text(p.noteLabel()), InspectorPanel::noViewNote);
    EXPECT_EQ(text(p.urlValueLabel()), "\u2014");
    EXPECT_EQ(text(p.titleValueLabel()), "\u2014");
    EXPECT_EQ(text(p.nativeValueLabel()), "Not available \u2014 using fallback panel");
    p.htmlEditor().get_buffer()->set_text("<p>typed</p>");
    p.cssEditor().get_buffer()->set_text("body{}");
    EXPECT_FALSE(p.applyHTMLButton().get_sensitive());
    EXPECT_FALSE(p.injectCSSButton().get_sensitive());
    EXPECT_TRUE(p.refreshButton().get_sensitive());
    EXPECT_TRUE(p.nativeInspectorButton().get_sensitive());
    EXPECT_TRUE(p.closeButton().get_sensitive());
    click(p.applyHTMLButton());
    p.injectCSS();
    settle();
    EXPECT_TRUE(page.scripts.empty());
    EXPECT_EQ(state->toastMessage.get(), std::nullopt);
}

TEST_F(InspectorPanelTest, ActionsAreDisabledWhileTheirEditorIsEmpty) {
    page.html.clear();
    auto& p = open();
    EXPECT_FALSE(p.applyHTMLButton().get_sensitive());
    EXPECT_FALSE(p.injectCSSButton().get_sensitive());
    p.htmlEditor().get_buffer()->set_text("<p>x</p>");
    p.cssEditor().get_buffer()->set_text("p{}");
    EXPECT_TRUE(p.applyHTMLButton().get_sensitive());
    EXPECT_TRUE(p.injectCSSButton().get_sensitive());
}

TEST_F(InspectorPanelTest, RefreshDiscardsTypingButLeavesTheCssEditorAlone) {
    auto& p = open();
    p.htmlEditor().get_buffer()->set_text("<p>typed</p>");
    p.cssEditor().get_buffer()->set_text("body { color: red; }");
    click(p.refreshButton());
    settle();
    EXPECT_EQ(p.editableHTML(), page.html);
    EXPECT_EQ(p.injectCSSText(), "body { color: red; }");
}

TEST_F(InspectorPanelTest, ApplyHtmlThatThePageAcceptsToastsAndShowsTheNewDocument) {
    auto& p = open();
    p.htmlEditor().get_buffer()->set_text("<b>replaced</b>");
    click(p.applyHTMLButton());
    settle();
    EXPECT_EQ(toast(), "HTML applied");
    ASSERT_GE(page.scripts.size(), 3u);
    EXPECT_EQ(page.scripts[1], InspectorService::applyHTMLScript("<b>replaced</b>"));
    EXPECT_EQ(page.scripts[2], InspectorService::pageContextScript());
    EXPECT_EQ(p.editableHTML(), "<html><head></head><body>replaced</body></html>");
}

TEST_F(InspectorPanelTest, ApplyHtmlRefusedToastsAndKeepsTheTyping) {
    auto& p = open();
    page.refusesScripts = true;
    p.htmlEditor().get_buffer()->set_text("<b>mine</b>");
    click(p.applyHTMLButton());
    settle();
    EXPECT_EQ(toast(), "Could not apply HTML on this page");
    EXPECT_EQ(p.editableHTML(), "<b>mine</b>");
    EXPECT_EQ(page.scripts.size(), 2u);  // no re-read after a failure
}

TEST_F(InspectorPanelTest, InjectCssToastsOnlyWhenTheScriptRan) {
    auto& p = open();
    p.setSelectedTab(InspectorPanel::InspectorTab::css);
    p.cssEditor().get_buffer()->set_text("body { background: teal; }");
    click(p.injectCSSButton());
    EXPECT_EQ(state->toastMessage.get(), std::nullopt);  // the toast waits for the outcome
    settle();
    EXPECT_EQ(toast(), "CSS injected");
    EXPECT_EQ(page.scripts.back(), InspectorService::injectCSSScript("body { background: teal; }"));

    state->toastMessage.set(std::nullopt);
    page.refusesScripts = true;
    click(p.injectCSSButton());
    settle();
    EXPECT_EQ(toast(), "Could not inject CSS on this page");
    EXPECT_EQ(p.injectCSSText(), "body { background: teal; }");
}

TEST_F(InspectorPanelTest, ReopeningStartsWithEmptyEditorsOnTheOverview) {
    page.html.clear();
    auto& first = open();
    first.setSelectedTab(InspectorPanel::InspectorTab::css);
    first.htmlEditor().get_buffer()->set_text("<p>typed</p>");
    first.cssEditor().get_buffer()->set_text("p{}");
    click(first.closeButton());
    EXPECT_FALSE(state->showInspectorPanel.get());
    EXPECT_TRUE(state->inspectorTabID.get().has_value());

    state->showInspectorPanel.set(true);
    auto& second = open();
    EXPECT_EQ(second.selectedTab(), InspectorPanel::InspectorTab::overview);
    EXPECT_EQ(second.editableHTML(), "");
    EXPECT_EQ(second.injectCSSText(), "");
}

TEST_F(InspectorPanelTest, AfterSwitchingTabsRefreshReadsTheInspectedTabWhileTheNoteFollowsTheActiveOne) {
    const Uuid inspected = state->activeTab()->id();
    state->activeTab()->isInternal.set(false);
    auto& p = open();
    state->newTab();
    state->activeTab()->isInternal.set(true);
    ASSERT_NE(state->activeTab()->id(), inspected);
    asked.clear();
    click(p.refreshButton());
    settle();
    ASSERT_FALSE(asked.empty());
    for (const auto& id : asked) EXPECT_EQ(id, inspected);
    EXPECT_EQ(text(p.noteLabel()), InspectorPanel::internalPageNote);
}

TEST_F(InspectorPanelTest, AnswerArrivingAfterThePanelIsGoneStillToastsButTouchesNoPanel) {
    auto& p = open();
    p.htmlEditor().get_buffer()->set_text("<i>late</i>");
    click(p.applyHTMLButton());
    over.takeDown(window_.get());
    panel.reset();
    settle();
    EXPECT_EQ(toast(), "HTML applied");
}

TEST_F(InspectorPanelTest, TryNativeInspectorOpensTheEngineInspectorOfTheActiveTab) {
    auto& p = open();
    click(p.nativeInspectorButton());
    EXPECT_EQ(page.extrasEnabled, 1);
    EXPECT_EQ(page.inspectorShown, 1);

    // Where the engine offers none, the panel is pointed at the active tab.
    state->newTab();
    ScriptedPage other;
    other.engineInspector = false;
    pages[state->activeTab()->id()] = &other;
    click(p.nativeInspectorButton());
    EXPECT_EQ(state->inspectorTabID.get(), state->activeTab()->id());
    EXPECT_TRUE(state->showInspectorPanel.get());
}

TEST_F(InspectorPanelTest, CloseClearsTheStateFlag) {
    auto& p = open();
    click(p.closeButton());
    EXPECT_FALSE(state->showInspectorPanel.get());
}

}  // namespace
}  // namespace quorelle::testing
