#pragma once

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitScriptDialog WebKitScriptDialog;

namespace quorelle {

class IScriptDialogs;

// Decides who draws a page's confirm() and prompt(): the browser's own
// dialogs for its internal pages, the engine's for every web page (its
// dialog names the page's origin, as a web page's should).
class ScriptDialogRouter {
public:
    // For a view's "script-dialog" signal: true when the browser's own
    // dialog took it (it answers the engine later), false to leave it to the
    // engine. Without `dialogs` everything is left to the engine.
    static bool route(WebKitWebView* view, WebKitScriptDialog* dialog, IScriptDialogs* dialogs);
};

}  // namespace quorelle
