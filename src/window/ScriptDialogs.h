#pragma once

#include "web/IScriptDialogs.h"

#include <map>
#include <memory>

namespace Gtk {
class MessageDialog;
}  // namespace Gtk

namespace quorelle {

// The internal pages' confirm() and prompt() as the browser's own modal
// dialogs: titled with the browser's name, the page's message, for a prompt
// a field holding the default text, and the buttons "Cancel" and "OK" (the
// default, which Return in the field presses). Dialogs still open when this
// goes away are answered as cancelled. Main thread only.
class ScriptDialogs final : public IScriptDialogs {
public:
    static constexpr const char* title = "Quorelle";
    static constexpr const char* cancelLabel = "Cancel";
    static constexpr const char* confirmLabel = "OK";

    ScriptDialogs();
    ~ScriptDialogs() override;
    ScriptDialogs(const ScriptDialogs&) = delete;
    ScriptDialogs& operator=(const ScriptDialogs&) = delete;

    void ask(GtkWidget* page, Kind kind, const std::string& message, const std::string& defaultText,
             Answer answer) override;

private:
    struct Open {
        std::unique_ptr<Gtk::MessageDialog> dialog;
        Answer answer;
    };
    void finish(unsigned id, std::optional<std::string> answer);

    std::map<unsigned, Open> open_;
    unsigned nextID_ = 0;
};

}  // namespace quorelle
