#pragma once

namespace quorelle {

// A tab's web view as the inspector opens it. The per-tab web view host
// implements it with webkit_settings_set_enable_developer_extras and
// webkit_web_inspector_show.
class IInspectableView {
public:
    virtual ~IInspectableView() = default;

    // Switches the view's developer extras on for the rest of its life.
    virtual void enableDeveloperExtras() = 0;
    // Shows the engine's own inspector for the view; false when the engine
    // offers none, in which case the browser's own inspector panel opens.
    virtual bool showEngineInspector() = 0;
};

}  // namespace quorelle
