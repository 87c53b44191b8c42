#pragma once

#include "model/Json.h"

namespace quorelle {

// The password-manager switches kept with a profile's browser settings.
struct PasswordManagerSettings {
    bool offerToSave = true;
    bool autofillPasswords = true;
    bool autoSignIn = false;
    bool requireAuthToView = true;
    bool requireAuthToExport = true;

    // Everything on except automatic sign-in. Built once, on first use.
    static const PasswordManagerSettings& defaults();

    friend bool operator==(const PasswordManagerSettings&, const PasswordManagerSettings&) = default;
};

// All five keys are required.
void readJson(const Json& j, PasswordManagerSettings& out);
Json toJson(const PasswordManagerSettings& settings);

}  // namespace quorelle
