#pragma once

#include <functional>
#include <string>

namespace quorelle {

// Asks the person at the computer to prove they own the user account before
// something private is shown. Nothing is remembered: every call asks again,
// and the caller decides what a true answer opens.
class IAuthenticator {
public:
    virtual ~IAuthenticator() = default;

    // `reason` is the sentence the prompt shows. `completion` is called
    // exactly once, on a later turn of the main queue: true only when the
    // owner authenticated; any failure, refusal or cancel answers false.
    virtual void authenticate(std::string reason, std::function<void(bool)> completion) = 0;
};

}  // namespace quorelle
