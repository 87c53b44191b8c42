#pragma once

#include "model/Uuid.h"
#include "web/InspectorPageContext.h"
#include "web/IScriptableView.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace quorelle {

class AppState;
class BrowserTab;
class IInspectableView;
class MainQueue;

// Lets the user look into and alter the page a tab shows: opens the engine's
// inspector (or the browser's own panel when the engine offers none), and
// reads, rewrites and restyles the page through page scripts for that panel.
//
// Made once in main() and handed to whoever needs it. Main thread only;
// every completion runs later, on the main queue, and never after the
// service is gone.
class InspectorService {
public:
    using ContextCompletion = std::function<void(InspectorPageContext)>;
    using OutcomeCompletion = std::function<void(bool succeeded)>;
    // The web view of a tab, or nullptr when the tab's view was never created.
    using ViewForTab = std::function<IInspectableView*(const Uuid& tabID)>;

    // The id of the one style element that injectCSS keeps in a page.
    static constexpr std::string_view injectedStyleID = "vx-inspector-style";

    explicit InspectorService(MainQueue& mainQueue);
    ~InspectorService();
    InspectorService(const InspectorService&) = delete;
    InspectorService& operator=(const InspectorService&) = delete;

    // Switches the tab's developer extras on and shows the engine's inspector;
    // when the engine offers none, points the state's inspector panel at the
    // tab and shows it. Nothing when the tab has no web view.
    static void openInspector(const BrowserTab& tab, AppState& appState, const ViewForTab& viewForTab);

    // Reads the page's address (now), title, document and selected element.
    // A failed read gives an empty title and document and no selected element.
    void fetchPageContext(IScriptableView& view, ContextCompletion completion);
    // Replaces the page's whole document; true when the script ran.
    void applyHTML(const std::string& html, IScriptableView& view, OutcomeCompletion completion = {});
    // Puts the stylesheet into the page's one injected style element,
    // replacing what an earlier injection put there; true when the script ran.
    void injectCSS(const std::string& css, IScriptableView& view, OutcomeCompletion completion = {});

    // ---- the page scripts ------------------------------------------------------
    static std::string_view pageContextScript();
    static std::string applyHTMLScript(std::string_view html);
    static std::string injectCSSScript(std::string_view css);
    // The snapshot for a read of the page at `url` that gave `result`.
    static InspectorPageContext pageContext(std::string url, const ScriptResult& result);

    // For text between backticks: backslash, backtick and "$" are escaped, so
    // nothing is interpolated, and CR is written as \r so that it survives
    // (a raw CR in a template becomes LF). Everything else stays as it is.
    static std::string escapeForTemplateLiteral(std::string_view text);
    // For text between single or double quotes: backslash, both quotes, LF,
    // CR, U+2028 and U+2029 are escaped, and "</" becomes "<\/".
    static std::string escapeForQuotedString(std::string_view text);

private:
    void evaluateForOutcome(IScriptableView& view, const std::string& script, OutcomeCompletion completion);

    struct Shared {
        MainQueue* mainQueue;
    };
    std::shared_ptr<Shared> shared_;  // script answers hold it weakly
};

}  // namespace quorelle
