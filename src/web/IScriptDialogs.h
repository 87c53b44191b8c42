#pragma once

#include <functional>
#include <optional>
#include <string>

typedef struct _GtkWidget GtkWidget;

namespace quorelle {

// The browser's own dialogs for the confirm() and prompt() calls of its
// internal pages. Main thread only.
class IScriptDialogs {
public:
    enum class Kind { confirm, prompt };
    // Exactly once: nothing when the person cancels or closes the dialog;
    // otherwise, for a prompt the text in its field, for a confirm "".
    using Answer = std::function<void(std::optional<std::string> answer)>;

    virtual ~IScriptDialogs() = default;
    // Shows `message` in a modal dialog over the window that holds `page`;
    // a prompt's field starts with `defaultText`.
    virtual void ask(GtkWidget* page, Kind kind, const std::string& message, const std::string& defaultText,
                     Answer answer) = 0;
};

}  // namespace quorelle
