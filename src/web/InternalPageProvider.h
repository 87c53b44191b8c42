#pragma once

#include "model/InternalPageRoute.h"
#include "web/InternalPageContext.h"
#include "web/RenderedPage.h"

#include <optional>
#include <string_view>

namespace quorelle {

class AppState;

// Renders the page a vx:// address names from the browser state of this
// moment. Every render gets a fresh bridge token, returned with the document.
struct InternalPageProvider {
    // Nothing when the address names no page (see InternalPageRoute::from).
    static std::optional<RenderedPage> html(std::string_view address, const AppState& appState);
    // The snapshot for one render, with a fresh bridge token.
    static InternalPageContext context(const AppState& appState, InternalPageRoute route);
    // The page shown for an address that names no internal page.
    static RenderedPage notFoundHTML(std::string_view address, const AppState& appState);

    // The build's version and build number ("1.0" and "1" when unknown).
    static std::string appVersion();
    static std::string appBuild();
};

}  // namespace quorelle
