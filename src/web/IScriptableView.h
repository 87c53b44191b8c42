#pragma once

#include <functional>
#include <optional>
#include <string>

namespace quorelle {

// What a page script gave back.
struct ScriptResult {
    // The engine's message when the script threw, did not parse or was
    // refused by the page; nothing when it ran.
    std::optional<std::string> error;
    // The value the script ended with, as JSON text ("null" for null); ""
    // for undefined, for a value JSON cannot hold, and after an error.
    std::string valueJSON;

    bool succeeded() const { return !error; }
};

// A web view that runs page scripts. The per-tab web view host implements it
// with webkit_web_view_evaluate_javascript; tests use a scripted stand-in.
class IScriptableView {
public:
    virtual ~IScriptableView() = default;

    // The address the view shows now, or nothing before its first load.
    virtual std::optional<std::string> currentURL() const = 0;
    // Evaluates `script` in the page's main frame. `done` is called exactly
    // once, later, from the engine's answer on the main thread.
    virtual void evaluateScript(const std::string& script, std::function<void(ScriptResult)> done) = 0;
};

}  // namespace quorelle
