#pragma once

// A bare JavaScript engine (no page, no display) for checking that the
// scripts the browser builds parse and carry hostile text through intact.

#include <jsc/jsc.h>

#include <optional>
#include <string>

namespace quorelle::testing {

class ScriptSandbox {
public:
    ScriptSandbox() : context_(jsc_context_new()) {}
    ~ScriptSandbox() { g_object_unref(context_); }
    ScriptSandbox(const ScriptSandbox&) = delete;
    ScriptSandbox& operator=(const ScriptSandbox&) = delete;

    // The value the script ends with as JSON text ("" for undefined), or
    // nothing when it throws or does not parse.
    std::optional<std::string> run(const std::string& script) {
        jsc_context_clear_exception(context_);
        JSCValue* value = jsc_context_evaluate(context_, script.c_str(), static_cast<gssize>(script.size()));
        std::optional<std::string> out;
        if (!jsc_context_get_exception(context_)) {
            char* json = jsc_value_to_json(value, 0);
            out = json ? json : "";
            g_free(json);
        }
        g_object_unref(value);
        return out;
    }

    // The string a JavaScript expression evaluates to.
    std::optional<std::string> string(const std::string& expression) {
        JSCValue* value = jsc_context_evaluate(context_, expression.c_str(), -1);
        std::optional<std::string> out;
        if (!jsc_context_get_exception(context_) && jsc_value_is_string(value)) {
            char* text = jsc_value_to_string(value);
            out = text;
            g_free(text);
        }
        g_object_unref(value);
        return out;
    }

private:
    JSCContext* context_;
};

}  // namespace quorelle::testing
