#pragma once

#include <string_view>

namespace quorelle {

enum class PasswordCheckResult {
    accepted,     // the current user's password
    rejected,     // a wrong password; the person may try again
    unavailable,  // the system could not check it; trying again will not help
};

// Checks a password of the current user with the operating system.
class IPasswordChecker {
public:
    virtual ~IPasswordChecker() = default;

    // Whether a check can be made at all. Quick; called before any prompt.
    virtual bool isAvailable() const = 0;
    // Blocks, for seconds after a wrong password: never on the main thread.
    // Safe to call from several threads.
    virtual PasswordCheckResult check(std::string_view password) const = 0;
};

}  // namespace quorelle
