#pragma once

namespace quorelle {

class AppState;

// Pushes the current profile's user-agent choice to the open tabs' web views.
// Main thread only.
class IIdentity {
public:
    virtual ~IIdentity() = default;

    // Sets every open tab's user agent from the profile's settings; with
    // `force` false, loading tabs keep theirs for now.
    virtual void applyUserAgentToAllTabs(const AppState& state, bool force) = 0;
};

}  // namespace quorelle
