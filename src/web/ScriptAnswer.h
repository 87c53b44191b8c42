#pragma once

#include "web/IScriptableView.h"

#include <optional>
#include <string>

typedef struct _GObject GObject;
typedef struct _GAsyncResult GAsyncResult;

namespace quorelle {

// What a script that webkit_web_view_evaluate_javascript() ran gave back,
// read in its completion callback (`source` and `result` as given there).
class ScriptAnswer {
public:
    // The answer when the script ran and gave a string; nothing otherwise
    // (it failed, or gave another kind of value).
    static std::optional<std::string> text(GObject* source, GAsyncResult* result);

    // How the script ended: its error's text, or its value as JSON.
    static ScriptResult outcome(GObject* source, GAsyncResult* result);
};

}  // namespace quorelle
