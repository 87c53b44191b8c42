#include "model/PasswordManagerSettings.h"

#include "model/JsonCodec.h"

namespace quorelle {

const PasswordManagerSettings& PasswordManagerSettings::defaults() {
    static const PasswordManagerSettings settings{true, true, false, true, true};
    return settings;
}

void readJson(const Json& j, PasswordManagerSettings& out) {
    out.offerToSave = json::req<bool>(j, "offerToSave");
    out.autofillPasswords = json::req<bool>(j, "autofillPasswords");
    out.autoSignIn = json::req<bool>(j, "autoSignIn");
    out.requireAuthToView = json::req<bool>(j, "requireAuthToView");
    out.requireAuthToExport = json::req<bool>(j, "requireAuthToExport");
}

Json toJson(const PasswordManagerSettings& settings) {
    Json j = Json::object();
    json::put(j, "offerToSave", settings.offerToSave);
    json::put(j, "autofillPasswords", settings.autofillPasswords);
    json::put(j, "autoSignIn", settings.autoSignIn);
    json::put(j, "requireAuthToView", settings.requireAuthToView);
    json::put(j, "requireAuthToExport", settings.requireAuthToExport);
    return j;
}

}  // namespace quorelle
