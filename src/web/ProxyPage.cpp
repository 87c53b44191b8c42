#include "model/ProxyProfile.h"
#include "web/InternalHTMLStyles.h"
#include "web/InternalPages.h"
#include "web/PageMarkup.h"

#include <string>
#include <string_view>
#include <vector>

// vx://proxy: the add-on switch, one profile's form, the saved profiles and
// the result of the last test.
namespace quorelle::pages {

namespace {

using H = InternalHTMLStyles;

constexpr std::string_view exampleHost = "proxy.example.com";

// The active profile, else the first saved one, else none.
const ProxyProfile* formProfile(const ProfileData& data) {
    const auto& active = data.settings.activeProxyID;
    if (active) {
        for (const ProxyProfile& proxy : data.proxies) {
            if (proxy.id == *active) return &proxy;
        }
    }
    return data.proxies.empty() ? nullptr : &data.proxies.front();
}

std::string testMessage(const InternalPageContext& context) {
    if (context.proxyTestResult) {
        return "<div class=\"warn\" style=\"border-color:var(--vx-accent)\">" + H::escapeHTML(*context.proxyTestResult) +
               "</div>";
    }
    if (context.proxyTestError) return "<div class=\"warn\">" + H::escapeHTML(*context.proxyTestError) + "</div>";
    return {};
}

std::string typeOptions(const ProxyProfile* profile) {
    const ProxyType chosen = profile ? profile->type : ProxyType(ProxyType::http);
    std::string out;
    for (ProxyType type : ProxyType::allCases()) {
        out += PageMarkup::option(type.rawValue(), type.displayName(), type == chosen);
    }
    return out;
}

std::string savedRows(const std::vector<ProxyProfile>& proxies) {
    if (proxies.empty()) return "<p class=\"empty\" style=\"padding:16px\">No saved profiles yet.</p>";
    std::string out;
    for (const ProxyProfile& proxy : proxies) {
        const std::string idArg = H::scriptArg(proxy.id.toString());
        const std::string detail = std::string(proxy.type.displayName()) + " · " + H::escapeHTML(proxy.host) + ":" +
                                   std::to_string(proxy.port) + " " + (proxy.isEnabled ? "· On" : "");
        const std::string testScript = "vxAction({action:'testProxy', profileId:'" + idArg + "'})";
        const std::string deleteScript =
            "if(confirm('Delete this profile?')) vxAction({action:'deleteProxy', profileId:'" + idArg + "'})";
        out += "<div class=\"list-item\">" + PageMarkup::meta(proxy.name, detail) +
               PageMarkup::inlineButtonRow(PageMarkup::button("btn btn-secondary", testScript, "Test") +
                                           PageMarkup::button("btn btn-danger", deleteScript, "Delete")) +
               "</div>";
    }
    return out;
}

std::string addonCard(bool enabled) {
    return "<div class=\"card\"><h2>Enable proxy add-on</h2><p>When disabled, no proxy profile is used.</p><label style=\"" +
           std::string(PageMarkup::checkboxLabelStyle) + "\"><input type=\"checkbox\" " + (enabled ? "checked" : "") +
           " onchange=\"vxAction({action:'toggleProxyAddon', enabled:this.checked})\"> Enable proxy add-on</label></div>";
}

std::string field(std::string_view label, std::string_view type, std::string_view id, std::string_view value,
                  std::string_view extra = {}) {
    std::string out = PageMarkup::fieldLabel(label, id);
    out += "<input type=\"" + std::string(type) + "\" id=\"" + std::string(id) + "\" value=\"" + H::escapeHTML(value) +
           "\"" + std::string(extra) + ">";
    return out;
}

std::string formCard(const ProxyProfile* profile) {
    // A new form gets a fresh id on every render; saving it makes it the
    // active profile, so the next render shows the saved one.
    const std::string formID = profile ? profile->id.toString() : Uuid::random().toString();
    std::string out = "<div class=\"card\"><h2>Proxy profile</h2>";
    out += "<input type=\"hidden\" id=\"proxyId\" value=\"" + H::escapeHTML(formID) + "\">";
    out += field("Name", "text", "proxyName", profile ? profile->name : "My Proxy");
    out += PageMarkup::fieldLabel("Type", "proxyType") + "<select id=\"proxyType\">" + typeOptions(profile) +
           "</select>";
    out += field("Host", "text", "proxyHost", profile ? profile->host : "",
                 " placeholder=\"" + std::string(exampleHost) + "\"");
    out += field("Port", "number", "proxyPort", profile ? std::to_string(profile->port) : "8080");
    out += field("Username (optional)", "text", "proxyUser", profile ? profile->username : "");
    out += field("Password (optional)", "password", "proxyPass", profile ? profile->password : "");
    out += "<label style=\"" + std::string(PageMarkup::checkboxLabelStyle) +
           "margin-top:8px;\"><input type=\"checkbox\" id=\"proxyOn\" " +
           (profile && profile->isEnabled ? "checked" : "") + "> Use this profile when add-on is enabled</label>";
    out += "<div class=\"btn-row\">" + PageMarkup::button("btn btn-primary", "vxSaveProxy()", "Save profile") +
           PageMarkup::button("btn btn-secondary",
                              "vxAction({action:'testProxy', profileId:document.getElementById('proxyId').value})",
                              "Test proxy") +
           "</div></div>";
    return out;
}

constexpr std::string_view saveProxyScript = R"(<script>
function vxSaveProxy() {
  function value(id) { return document.getElementById(id).value; }
  vxAction({ action: 'saveProxy', profileId: value('proxyId'), name: value('proxyName'),
    type: value('proxyType'), host: value('proxyHost'), port: value('proxyPort'),
    username: value('proxyUser'), password: value('proxyPass'),
    enabled: document.getElementById('proxyOn').checked });
}
</script>)";

}  // namespace

std::string proxyPage(const InternalPageContext& context) {
    const ProfileData& data = context.profileData;
    const ProxyProfile* profile = formProfile(data);
    std::string content =
        "<div class=\"warn\"><strong>Note:</strong> Proxy profiles are saved and can be tested here.<br>\n"
        "This version does not send web pages through proxy profiles.</div>";
    content += testMessage(context);
    content += addonCard(data.settings.proxyAddonEnabled);
    content += formCard(profile);
    content += PageMarkup::card("<h2>Saved profiles</h2>" + savedRows(data.proxies));
    std::string body = PageMarkup::page(
        "Proxy Add-on", "Advanced network proxy (off by default). Not part of standard settings.", content);
    body += saveProxyScript;
    return context.wrap("Proxy", body);
}

}  // namespace quorelle::pages
