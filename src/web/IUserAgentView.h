#pragma once

#include <optional>
#include <string>

namespace quorelle {

// The part of a tab's web view that the browser identity touches. The per-tab
// web view host implements it with webkit_settings_set_user_agent; tests use
// a recording stand-in.
class IUserAgentView {
public:
    virtual ~IUserAgentView() = default;

    // The address the view shows now, or nothing before its first load.
    virtual std::optional<std::string> currentURL() const = 0;
    // The identity the view presents from its next request on; nothing
    // restores the engine's own.
    virtual void setUserAgent(const std::optional<std::string>& userAgent) = 0;
};

}  // namespace quorelle
