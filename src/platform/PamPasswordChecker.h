#pragma once

#include "store/IPasswordChecker.h"

#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

// Checks the current user's password through PAM, under the browser's own
// service name. Where no configuration for the service is installed, PAM
// falls back to its "other" service; where that denies, nothing passes.
class PamPasswordChecker final : public IPasswordChecker {
public:
    static constexpr std::string_view serviceName = "quorelle";

    explicit PamPasswordChecker(std::string service = std::string(serviceName));

    // The user name of the real user id, or none when it cannot be found.
    static std::optional<std::string> currentUserName();

    // The user can be looked up and PAM starts for the service.
    bool isAvailable() const override;
    PasswordCheckResult check(std::string_view password) const override;

private:
    std::string service_;
};

}  // namespace quorelle
