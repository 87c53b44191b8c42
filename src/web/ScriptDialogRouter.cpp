#include "web/ScriptDialogRouter.h"

#include "web/IScriptDialogs.h"
#include "web/WebViewCoordinator.h"

#include <webkit/webkit.h>

namespace quorelle {

bool ScriptDialogRouter::route(WebKitWebView* view, WebKitScriptDialog* dialog, IScriptDialogs* dialogs) {
    if (!dialogs || !WebViewCoordinator::showsInternalPage(view)) return false;
    const auto type = webkit_script_dialog_get_dialog_type(dialog);
    if (type != WEBKIT_SCRIPT_DIALOG_CONFIRM && type != WEBKIT_SCRIPT_DIALOG_PROMPT) return false;
    const bool prompt = type == WEBKIT_SCRIPT_DIALOG_PROMPT;
    const char* defaultText = prompt ? webkit_script_dialog_prompt_get_default_text(dialog) : nullptr;
    // The engine waits for the answer until the dialog is closed.
    webkit_script_dialog_ref(dialog);
    dialogs->ask(GTK_WIDGET(view), prompt ? IScriptDialogs::Kind::prompt : IScriptDialogs::Kind::confirm,
                 webkit_script_dialog_get_message(dialog), defaultText ? defaultText : "",
                 [dialog, prompt](std::optional<std::string> answer) {
                     if (prompt && answer) webkit_script_dialog_prompt_set_text(dialog, answer->c_str());
                     if (!prompt) webkit_script_dialog_confirm_set_confirmed(dialog, answer.has_value());
                     webkit_script_dialog_close(dialog);
                     webkit_script_dialog_unref(dialog);
                 });
    return true;
}

}  // namespace quorelle
