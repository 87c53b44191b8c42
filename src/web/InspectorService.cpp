#include "web/InspectorService.h"

#include "model/BrowserTab.h"
#include "model/JsonCodec.h"
#include "state/AppState.h"
#include "store/MainQueue.h"
#include "web/IInspectableView.h"

#include <nlohmann/json.hpp>

#include <utility>

namespace quorelle {
namespace {

constexpr std::string_view kPageContextScript =
    "(function() {\n"
    "  var sel = null;\n"
    "  try { sel = window.getSelection && window.getSelection().anchorNode\n"
    "    ? window.getSelection().anchorNode.parentElement : null; } catch(e) {}\n"
    "  return {\n"
    "    html: document.documentElement ? document.documentElement.outerHTML : '',\n"
    "    selectedHTML: sel ? sel.outerHTML : null,\n"
    "    title: document.title || ''\n"
    "  };\n"
    "})();";

constexpr std::string_view kLineSeparator = "\u2028";
constexpr std::string_view kParagraphSeparator = "\u2029";

std::optional<std::string> stringMember(const Json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || !found->is_string()) return std::nullopt;
    return found->get<std::string>();
}

}  // namespace

InspectorService::InspectorService(MainQueue& mainQueue) : shared_(std::make_shared<Shared>(Shared{&mainQueue})) {}

InspectorService::~InspectorService() = default;

void InspectorService::openInspector(const BrowserTab& tab, AppState& appState, const ViewForTab& viewForTab) {
    IInspectableView* view = viewForTab(tab.id());
    if (!view) return;
    view->enableDeveloperExtras();
    if (view->showEngineInspector()) return;
    appState.inspectorTabID.set(tab.id());
    appState.showInspectorPanel.set(true);
}

void InspectorService::fetchPageContext(IScriptableView& view, ContextCompletion completion) {
    std::string url = view.currentURL().value_or("");
    view.evaluateScript(std::string(kPageContextScript),
                        [owner = std::weak_ptr<Shared>(shared_), url = std::move(url),
                         completion = std::move(completion)](ScriptResult result) mutable {
                            const auto shared = owner.lock();
                            if (!shared) return;
                            shared->mainQueue->post([owner, url = std::move(url), result = std::move(result),
                                                     completion = std::move(completion)]() mutable {
                                if (owner.expired()) return;
                                completion(pageContext(std::move(url), result));
                            });
                        });
}

void InspectorService::applyHTML(const std::string& html, IScriptableView& view, OutcomeCompletion completion) {
    evaluateForOutcome(view, applyHTMLScript(html), std::move(completion));
}

void InspectorService::injectCSS(const std::string& css, IScriptableView& view, OutcomeCompletion completion) {
    evaluateForOutcome(view, injectCSSScript(css), std::move(completion));
}

void InspectorService::evaluateForOutcome(IScriptableView& view, const std::string& script,
                                          OutcomeCompletion completion) {
    view.evaluateScript(script, [owner = std::weak_ptr<Shared>(shared_),
                                 completion = std::move(completion)](ScriptResult result) mutable {
        const auto shared = owner.lock();
        if (!shared || !completion) return;
        shared->mainQueue->post([owner, succeeded = result.succeeded(), completion = std::move(completion)] {
            if (!owner.expired()) completion(succeeded);
        });
    });
}

std::string_view InspectorService::pageContextScript() { return kPageContextScript; }

std::string InspectorService::applyHTMLScript(std::string_view html) {
    return "document.open(); document.write(`" + escapeForTemplateLiteral(html) + "`); document.close();";
}

std::string InspectorService::injectCSSScript(std::string_view css) {
    const std::string id(injectedStyleID);
    return "(function() {\n"
           "  var style = document.getElementById('" + id + "');\n"
           "  if (!style) {\n"
           "    style = document.createElement('style');\n"
           "    style.id = '" + id + "';\n"
           "    document.head.appendChild(style);\n"
           "  }\n"
           "  style.textContent = '" + escapeForQuotedString(css) + "';\n"
           "})();";
}

InspectorPageContext InspectorService::pageContext(std::string url, const ScriptResult& result) {
    InspectorPageContext context;
    context.url = std::move(url);
    const auto value = json::parse(result.valueJSON);
    if (!value || !value->is_object()) return context;
    context.title = stringMember(*value, "title").value_or("");
    context.documentHTML = stringMember(*value, "html").value_or("");
    context.selectedElementHTML = stringMember(*value, "selectedHTML");
    return context;
}

std::string InspectorService::escapeForTemplateLiteral(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (char c : text) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '`': out += "\\`"; break;
            case '$': out += "\\$"; break;
            case '\r': out += "\\r"; break;
            default: out += c;
        }
    }
    return out;
}

std::string InspectorService::escapeForQuotedString(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view rest = text.substr(i);
        if (rest.starts_with(kLineSeparator)) {
            out += "\\u2028";
            i += kLineSeparator.size() - 1;
            continue;
        }
        if (rest.starts_with(kParagraphSeparator)) {
            out += "\\u2029";
            i += kParagraphSeparator.size() - 1;
            continue;
        }
        switch (const char c = text[i]) {
            case '\\': out += "\\\\"; break;
            case '\'': out += "\\'"; break;
            case '"': out += "\\\""; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '/': out += (i > 0 && text[i - 1] == '<') ? "\\/" : "/"; break;
            default: out += c;
        }
    }
    return out;
}

}  // namespace quorelle
