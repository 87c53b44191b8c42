#pragma once

#include "model/Uuid.h"
#include "model/UserAgentSettings.h"
#include "state/IIdentity.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quorelle {

class AppState;
class IUserAgentView;

// Decides which user-agent string a tab's web view presents: the engine's
// own, one of three fixed browser identities, or the profile's custom text,
// and pushes the profile's choice to the open tabs' web views, which it finds
// through the lookup it is made with. Main thread only.
class BrowserIdentityManager : public IIdentity {
public:
    // The web view of a tab, or nullptr when the tab's view was never created.
    using ViewForTab = std::function<IUserAgentView*(const Uuid& tabID)>;

    explicit BrowserIdentityManager(ViewForTab viewForTab) : viewForTab_(std::move(viewForTab)) {}

    // applyToAllTabs() over the views the lookup finds.
    void applyUserAgentToAllTabs(const AppState& appState, bool force) override;

    // The desktop identity always claims this system version.
    static constexpr std::string_view desktopOSVersion = "10_15_7";

    // Sign-in hosts and paths of identity providers, checked in this order
    // against the host and the whole address. Changing a tab's identity in
    // the middle of one of their flows breaks the sign-in.
    static constexpr std::array<std::string_view, 8> identityProviderEntries{
        "accounts.google.com",        // search and mail provider's account sign-in
        "google.com/signin",          // its sign-in path on the main domain
        "login.microsoftonline.com",  // work and school accounts
        "login.live.com",             // consumer accounts
        "account.microsoft.com",      // personal account pages
        "securly.com",                // school web filtering
        "okta.com",                   // single sign-on
        "auth0.com",                  // single sign-on
    };
    // Checked against the whole address after the entries above.
    static constexpr std::array<std::string_view, 3> identityProviderWords{"oauth", "openid", "saml"};

    // Nothing for the default preset and for a custom value the engine could
    // not send (see isSendableUserAgent): the engine's own identity then. A
    // sendable custom value is used exactly as stored (not trimmed).
    static std::optional<std::string> userAgentString(UserAgentPreset preset, const std::string& custom);
    static std::optional<std::string> userAgentString(const UserAgentSettings& settings);

    // True for a User-Agent header value as the engine accepts it: products
    // (a token with an optional "/version") and parenthesised comments,
    // separated by spaces or tabs, with nothing before or after. Empty text,
    // text of spaces, control characters and anything outside that grammar
    // are false: the engine would refuse them and keep its previous identity.
    static bool isSendableUserAgent(std::string_view value);

    static void apply(IUserAgentView& view, const UserAgentSettings& settings);
    // For a tab's web view just created: the current profile's choice.
    static void applyOnHostCreation(IUserAgentView& view, const AppState& appState);

    // Re-applies the current profile's choice to every open tab that has a
    // web view. Unless `force` is set, a tab that is loading or shows an
    // identity provider's page keeps its identity for now.
    static void applyToAllTabs(const AppState& appState, bool force, const ViewForTab& viewForTab);

    // True when the address belongs to a sign-in flow (see above); false
    // for no address.
    static bool shouldSkipIdentityUpdate(const std::optional<std::string>& url);

private:
    ViewForTab viewForTab_;
};

}  // namespace quorelle
