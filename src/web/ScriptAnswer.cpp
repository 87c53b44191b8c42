#include "web/ScriptAnswer.h"

#include "model/GLibPtr.h"

#include <webkit/webkit.h>

namespace quorelle {

std::optional<std::string> ScriptAnswer::text(GObject* source, GAsyncResult* result) {
    const auto value = GObjectPtr<JSCValue>::adopt(
        webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, nullptr));
    if (!value || !jsc_value_is_string(value.get())) return std::nullopt;
    const GCharPtr text(jsc_value_to_string(value.get()));
    return text ? std::optional<std::string>(text.get()) : std::nullopt;
}

ScriptResult ScriptAnswer::outcome(GObject* source, GAsyncResult* result) {
    GError* raw = nullptr;
    const auto value = GObjectPtr<JSCValue>::adopt(
        webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, &raw));
    const GErrorPtr error(raw);
    ScriptResult outcome;
    if (error) {
        outcome.error = error->message ? error->message : "Script failed";
    } else if (value && !jsc_value_is_undefined(value.get())) {
        if (const GCharPtr json(jsc_value_to_json(value.get(), 0)); json) outcome.valueJSON = json.get();
    }
    return outcome;
}

}  // namespace quorelle
