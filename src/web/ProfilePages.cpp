#include "model/BrowserSettings.h"
#include "model/QuorelleAssets.h"
#include "model/SearchEngine.h"
#include "model/Text.h"
#include "model/ThemePreset.h"
#include "web/InternalHTMLStyles.h"
#include "web/InternalPages.h"
#include "web/PageMarkup.h"

#include <string>
#include <string_view>

// The pages about who is browsing and what the open tabs hold: profiles,
// sessions, permissions, privacy, security, performance and memory.
namespace quorelle::pages {

namespace {

using H = InternalHTMLStyles;

std::string closeInactiveTabsRow(std::string_view buttonClass) {
    return "<div class=\"btn-row\">" +
           PageMarkup::button(buttonClass, "vxAction({action:'closeInactiveTabs'})", "Close inactive tabs") + "</div>";
}

std::string tabTitleItems(const InternalPageContext& context) {
    std::string items;
    for (const auto& tab : context.tabs) {
        if (tab) items += "<li>" + H::escapeHTML(tab->title.get()) + "</li>";
    }
    return items;
}

// ---- profiles ------------------------------------------------------------

// An image address that would run script if it were ever followed. The
// URL parser drops tabs and line breaks anywhere and leading controls and
// spaces, so they are dropped here before the scheme is read.
bool isScriptAddress(std::string_view address) {
    std::string scheme;
    for (char c : address) {
        if (c == '\t' || c == '\n' || c == '\r') continue;
        if (scheme.empty() && static_cast<unsigned char>(c) <= 0x20) continue;
        if (c == ':') return scheme == "javascript" || scheme == "vbscript";
        if (scheme.size() > 10) return false;
        scheme += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return false;
}

std::string avatarMarkup(const BrowserProfile& profile) {
    if (!profile.avatarURL) {
        return "<div style=\"width:48px;height:48px;border-radius:50%;background:var(--vx-border);display:flex;"
               "align-items:center;justify-content:center;font-weight:600\">" +
               H::escapeHTML(text::uppercased(text::firstCharacter(profile.name))) + "</div>";
    }
    // Any name of the logo becomes the browser's own logo address.
    std::string source = *profile.avatarURL;
    if (QuorelleAssets::isQuorelleLogo(profile.avatarURL)) source = H::internalFaviconHref();
    else if (isScriptAddress(source)) source.clear();
    return "<img src=\"" + H::escapeHTML(source) +
           "\" alt=\"\" style=\"width:48px;height:48px;border-radius:50%;object-fit:cover\">";
}

std::string presetOptions(const BrowserProfile& profile) {
    std::string_view chosen = profile.themePresetID ? std::string_view(*profile.themePresetID) : "black";
    std::string out;
    for (const ThemePreset& preset : ThemePreset::all())
        out += PageMarkup::option(preset.id, preset.name, preset.id == chosen);
    return out;
}

// The built-in engines, and the profile's own engine when it searches with a
// custom address: the menu then shows that engine, and saving the card
// posts it back unchanged rather than the first built-in one.
std::string engineOptions(const ProfileData& data) {
    const std::string& selected = data.settings.selectedSearchEngineID;
    std::string out;
    for (const SearchEngine& engine : SearchEngine::builtIn())
        out += PageMarkup::option(engine.id, engine.name, engine.id == selected);
    if (selected == BrowserSettings::customSearchEngineID) {
        const SearchEngine custom = data.settings.resolvedSearchEngine();
        out += PageMarkup::option(custom.id, custom.name, true);
    }
    return out;
}

std::string profileEditor(const BrowserProfile& profile, const std::string& idArg, const ProfileData& data) {
    std::string out;
    out += PageMarkup::fieldLabel("Profile name");
    out += "<input type=\"text\" class=\"profile-name\" value=\"" + H::escapeHTML(profile.name) + "\">";
    out += PageMarkup::fieldLabel("Icon URL");
    out += "<input type=\"url\" class=\"profile-avatar\" value=\"" + H::escapeHTML(profile.avatarURL.value_or("")) +
           "\" placeholder=\"https://…\">";
    out += "<div class=\"btn-row\" style=\"margin-top:4px\">" +
           PageMarkup::button("btn btn-secondary",
                              "vxAction({action:'updateProfile', profileId:'" + idArg + "', resetAvatar:true})",
                              "Reset icon to initials") +
           "</div>";
    out += PageMarkup::fieldLabel("Theme preset");
    out += "<select class=\"profile-theme\">" + presetOptions(profile) + "</select>";
    out += PageMarkup::fieldLabel("Search engine");
    out += "<select class=\"profile-engine\">" + engineOptions(data) + "</select>";
    out += PageMarkup::fieldLabel("Background image URL");
    out += "<input type=\"url\" class=\"profile-bg\" value=\"" +
           H::escapeHTML(data.theme.background.imagePath.value_or("")) + "\" placeholder=\"https://…\">";
    return out;
}

std::string profileButtons(const BrowserProfile& profile, const std::string& idArg) {
    std::string out = "<div class=\"btn-row\">";
    out += PageMarkup::button("btn btn-primary", "vxAction({action:'switchProfile', profileId:'" + idArg + "'})",
                              "Switch");
    if (!profile.isGuest) {
        out += PageMarkup::button("btn btn-secondary", "vxSaveProfile('" + idArg + "')", "Save changes");
        if (!profile.isDefault) {
            out += PageMarkup::button(
                "btn btn-danger",
                "if(confirm('Delete profile?')) vxAction({action:'deleteProfile', profileId:'" + idArg + "'})",
                "Delete");
        }
    }
    return out + "</div>";
}

// What a card counts and fills its editor from. The guest keeps nothing on
// disk, so nothing is read for it: a read would only leave an empty folder.
ProfileData cardData(const InternalPageContext& context, const BrowserProfile& profile, bool isCurrent) {
    if (isCurrent) return context.profileData;
    if (profile.isGuest) return ProfileData::empty();
    return context.storedProfileData(profile.id);
}

std::string profileCard(const InternalPageContext& context, const BrowserProfile& profile) {
    const bool isCurrent = profile.id == context.currentProfile.id;
    const ProfileData data = cardData(context, profile, isCurrent);
    const std::string themeLabel =
        profile.themePresetID ? *profile.themePresetID : (context.profileData.theme.useDarkMode ? "Dark" : "Light");
    const std::string idArg = H::scriptArg(profile.id);

    std::string out = "<div class=\"card profile-card\" data-profile=\"" + H::escapeHTML(profile.id) + "\">";
    out += "<div style=\"display:flex;gap:16px;align-items:flex-start\">";
    out += avatarMarkup(profile);
    out += "<div style=\"flex:1\">";
    out += "<h2>" + H::escapeHTML(profile.name) + (isCurrent ? " <span class=\"badge\">Current</span>" : "") + "</h2>";
    out += "<p>" + std::string(profile.isGuest ? "Guest" : "Normal") + " · Theme: " + H::escapeHTML(themeLabel) + "</p>";
    out += "<p class=\"desc\">Bookmarks: " + std::to_string(data.bookmarks.size()) +
           " · History: " + std::to_string(data.history.size()) + "</p>";
    if (!profile.isGuest) out += profileEditor(profile, idArg, data);
    out += profileButtons(profile, idArg);
    out += "</div></div></div>";
    return out;
}

// Finds the card by comparing the attribute rather than building a selector
// from the id, so no id can change the query. A menu still on the entry the
// page opened with is not sent: saving a preset applies its colours anew,
// which would undo colours the user edited since, and leaving it out keeps
// the profile's engine whatever the menu shows.
constexpr std::string_view saveProfileScript = R"(<script>
function vxSaveProfile(id) {
  var cards = document.querySelectorAll('.profile-card');
  var card = null;
  for (var i = 0; i < cards.length; i++) {
    if (cards[i].getAttribute('data-profile') === id) { card = cards[i]; break; }
  }
  if (!card) return;
  function value(cls) { var e = card.querySelector('.' + cls); return e ? e.value : undefined; }
  function chosen(cls) {
    var e = card.querySelector('.' + cls);
    if (!e) return undefined;
    var opened = e.options[0];
    for (var i = 0; i < e.options.length; i++) if (e.options[i].defaultSelected) opened = e.options[i];
    return opened && e.value === opened.value ? undefined : e.value;
  }
  vxAction({ action: 'updateProfile', profileId: id,
    name: value('profile-name'), avatarURL: value('profile-avatar'),
    themePresetID: chosen('profile-theme'), searchEngineID: chosen('profile-engine'),
    backgroundImageURL: value('profile-bg') });
}
</script>)";

}  // namespace

std::string profilesPage(const InternalPageContext& context) {
    std::string content =
        "<div class=\"btn-row\" style=\"margin-bottom:16px\">" +
        PageMarkup::button("btn btn-primary",
                           "var n=prompt('Profile name'); if(n) vxAction({action:'createProfile', name:n})",
                           "Create profile") +
        "</div>";
    for (const BrowserProfile& profile : context.appSettings.profiles) content += profileCard(context, profile);
    std::string body = PageMarkup::page("Profiles", "Create, edit, and switch profiles", content);
    body += saveProfileScript;
    return context.wrap("Profiles", body);
}

std::string sessionsPage(const InternalPageContext& context) {
    const BrowserProfile& profile = context.currentProfile;
    std::string content = "<div class=\"card\"><p><strong>" + std::to_string(context.tabs.size()) +
                          "</strong> tabs · Profile: " + H::escapeHTML(profile.name) + " · " +
                          (profile.isGuest ? "Guest" : "Standard") + "</p>";
    content += "<ul class=\"clean\">" + tabTitleItems(context) + "</ul>";
    content += closeInactiveTabsRow("btn btn-danger") + "</div>";
    return context.wrap("Sessions", PageMarkup::page("Sessions", "Current browsing session", content));
}

std::string permissionsPage(const InternalPageContext& context) {
    std::string content = "<div class=\"warn\">Per-site permission overrides are not available in this version.</div>";
    for (std::string_view category : {"Camera", "Microphone", "Location", "Notifications", "Pop-ups"}) {
        content += "<div class=\"card\"><h2>" + std::string(category) +
                   "</h2><p>Decided by the browser's built-in rules; no per-site setting in this version.</p></div>";
    }
    return context.wrap("Permissions", PageMarkup::page("Site permissions", "Site access categories", content));
}

std::string privacyPage(const InternalPageContext& context) {
    std::string content = "<div class=\"card\"><h2>Status</h2><p>";
    content += context.currentProfile.isGuest ? "Guest mode — limited persistence" : "Standard browsing";
    content += "</p></div>";
    content += "<div class=\"card\"><h2>Clear data</h2><div class=\"btn-row\">" +
               PageMarkup::button("btn btn-danger", "if(confirm('Clear history?')) vxAction({action:'clearHistory'})",
                                  "Clear history") +
               PageMarkup::button("btn btn-danger",
                                  "if(confirm('Clear cookies and cache?')) vxAction({action:'clearWebsiteData'})",
                                  "Clear cookies & cache") +
               "</div></div>";
    return context.wrap("Privacy", PageMarkup::page("Privacy", "Control browsing data", content));
}

std::string securityPage(const InternalPageContext& context) {
    const auto& tab = context.activeTab;
    const bool secure = tab && tab->isSecure.get() && !tab->isInternal.get();
    std::string content = "<div class=\"card\"><h2>Current tab</h2><p>";
    content += secure ? "This page uses HTTPS." : "Not secure, internal, or HTTP.";
    content += "</p></div>";
    content += "<div class=\"card\"><h2>HTTPS</h2><p>HTTP pages show “Not Secure” in the toolbar. "
               "Certificate details depend on platform support.</p></div>";
    return context.wrap("Security", PageMarkup::page("Security", "Connection security", content));
}

std::string performancePage(const InternalPageContext& context) {
    std::string content = "<div class=\"card\"><p><strong>" + std::to_string(context.tabs.size()) +
                          "</strong> open tabs</p><ul class=\"clean\">" + tabTitleItems(context) + "</ul>";
    content += closeInactiveTabsRow("btn btn-primary") + "</div>";
    return context.wrap("Performance",
                        PageMarkup::page("Performance", "Tab overview (no simulated CPU metrics)", content));
}

std::string memoryPage(const InternalPageContext& context) {
    std::size_t inactive = 0;
    for (const auto& tab : context.tabs) {
        if (!tab || tab->isLoading.get()) continue;
        if (!context.activeTab || tab->id() != context.activeTab->id()) ++inactive;
    }
    std::string content =
        "<div class=\"warn\">Per-tab memory is not available via public WebKit APIs. Counts are shown instead of "
        "simulated usage numbers.</div>";
    content += "<div class=\"card\"><p><strong>" + std::to_string(context.tabs.size()) + "</strong> tabs · <strong>" +
               std::to_string(inactive) + "</strong> inactive</p>";
    content += closeInactiveTabsRow("btn btn-primary") + "</div>";
    return context.wrap("Memory", PageMarkup::page("Memory", "Tab and cache management", content));
}

}  // namespace quorelle::pages
