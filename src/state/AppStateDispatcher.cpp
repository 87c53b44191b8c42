// The actions internal pages post through the page-script bridge. Each
// message is an object with an "action" name and that action's parameters;
// every parameter is taken only when present with exactly the expected JSON
// type, so a malformed message never acts.
#include "model/InternalPageRoute.h"
#include "model/JsonCodec.h"
#include "model/RecordList.h"
#include "model/Text.h"
#include "model/ThemePreset.h"
#include "state/AppState.h"
#include "state/IClipboard.h"
#include "state/IWebContent.h"

#include <algorithm>
#include <array>

namespace quorelle {
namespace {

// Typed, non-throwing access to a message's parameters. Nothing converts
// between types: the string "true" is not a Bool, a number is not a String.
class Message {
public:
    explicit Message(const Json& body) : body_(body) {}

    const Json& body() const { return body_; }

    std::optional<std::string> string(const char* key) const { return json::lenient<std::string>(body_, key); }
    // At least one character; blanks count.
    std::optional<std::string> nonEmptyString(const char* key) const {
        auto value = string(key);
        if (!value || value->empty()) return std::nullopt;
        return value;
    }
    std::optional<bool> boolean(const char* key) const { return json::lenient<bool>(body_, key); }
    // A record id: a string in the 36-character UUID form, either case. One
    // that does not parse counts as missing.
    std::optional<Uuid> uuid(const char* key) const { return json::lenient<Uuid>(body_, key); }

private:
    const Json& body_;
};

void reloadActiveTab(AppState& s) {
    if (auto tab = s.activeTab()) s.webContent().reloadInternal(tab, s);
}

// ---- navigation and window flags ---------------------------------------------

void navigate(AppState& s, const Message& m) {
    if (auto url = m.string("url")) s.navigateActive(*url);
}

void openSettings(AppState& s, const Message& m) {
    s.navigateActive(m.string("url").value_or(InternalPageRoute(InternalPageRoute::settings).vxURL()));
}

void searchOrNavigate(AppState& s, const Message& m) {
    if (auto query = m.string("query")) s.navigateActive(*query);
}

void openThemeEditor(AppState& s, const Message&) {
    s.navigateActive(InternalPageRoute(InternalPageRoute::themes).vxURL());
}

void showNewTabCustomize(AppState& s, const Message&) {
    if (!s.isGuestWindow()) s.showNewTabCustomize.set(true);
}

void showShortcutsEditor(AppState& s, const Message&) { s.showShortcutsEditor.set(true); }

void reloadInternal(AppState& s, const Message&) { reloadActiveTab(s); }

void closeInactiveTabs(AppState& s, const Message&) { s.closeInactiveTabs(); }

// ---- history and downloads ------------------------------------------------------

void clearHistory(AppState& s, const Message&) {
    s.clearHistory();
    s.reloadHistoryPageIfActive();
}

void deleteHistoryItem(AppState& s, const Message& m) {
    auto id = m.uuid("itemId");
    const HistoryItem* item = id ? records::find(s.profileData.get().history, *id) : nullptr;
    if (!item) return;
    s.removeHistory(*item);
    s.reloadHistoryPageIfActive();
}

void clearDownloads(AppState& s, const Message&) { s.clearDownloads(); }

// ---- bookmarks and folders --------------------------------------------------------

void createBookmarkFolder(AppState& s, const Message& m) {
    if (auto name = m.nonEmptyString("name")) s.createBookmarkFolder(*name);
}

void deleteBookmarkFolder(AppState& s, const Message& m) {
    if (auto id = m.uuid("folderId")) s.deleteBookmarkFolder(*id);
}

void renameBookmarkFolder(AppState& s, const Message& m) {
    auto id = m.uuid("folderId");
    auto name = m.string("name");  // an empty name is taken
    if (id && name) s.renameBookmarkFolder(*id, *name);
}

void createBookmark(AppState& s, const Message& m) {
    s.createBookmark(m.string("title").value_or(""), m.string("url").value_or(""), m.uuid("folderId"),
                     m.string("customIconURL"));
}

// deleteBookmark itself reloads the bookmarks page when it is showing.
void deleteBookmark(AppState& s, const Message& m) {
    auto id = m.uuid("bookmarkId");
    const Bookmark* bookmark = id ? records::find(s.profileData.get().bookmarks, *id) : nullptr;
    if (bookmark) s.deleteBookmark(*bookmark);
}

void showNewBookmark(AppState& s, const Message&) { s.showNewBookmarkSheet.set(true); }

void editBookmark(AppState& s, const Message& m) {
    auto id = m.uuid("bookmarkId");
    const Bookmark* bookmark = id ? records::find(s.profileData.get().bookmarks, *id) : nullptr;
    if (bookmark) s.editingBookmark.set(*bookmark);
}

// ---- profiles ------------------------------------------------------------------------

void switchProfile(AppState& s, const Message& m) {
    if (auto id = m.string("profileId")) s.switchProfile(*id);
}

void createProfile(AppState& s, const Message& m) {
    if (auto name = m.nonEmptyString("name")) s.createProfile(*name);
}

// updateProfile reloads the profiles page itself.
void updateProfile(AppState& s, const Message& m) {
    const std::string id = m.string("profileId").value_or(s.appSettings.get().selectedStartupProfileID);
    s.updateProfile(id, m.string("name"), m.string("avatarURL"), m.boolean("resetAvatar").value_or(false),
                    m.string("themePresetID"), m.string("searchEngineID"), m.string("backgroundImageURL"));
}

void renameProfile(AppState& s, const Message& m) {
    auto id = m.string("profileId");
    auto name = m.nonEmptyString("name");
    if (!id || !name) return;
    s.renameProfile(*id, *name);
    s.reloadProfilesPageIfActive();
}

// The profile's own checks decide: only a listed profile other than
// "default" and "guest" is ever removed.
void deleteProfile(AppState& s, const Message& m) {
    if (auto id = m.string("profileId")) s.deleteProfile(*id);
}

void setProfileAvatar(AppState& s, const Message& m) {
    // A guest window leaves the real profiles alone.
    if (s.isGuestWindow()) return;
    const auto& settings = s.appSettings.get();
    const auto index = records::indexOf(settings.profiles, settings.selectedStartupProfileID);
    if (!index) return;
    std::optional<std::string> avatar = text::trimmed(m.string("url").value_or(""));
    if (avatar->empty()) avatar.reset();
    s.appSettings.modify([&](AppSettings& a) { a.profiles[*index].avatarURL = std::move(avatar); });
    s.persist();
    s.reloadProfilesPageIfActive();
}

// ---- themes ------------------------------------------------------------------------------

void setBackgroundImage(AppState& s, const Message& m) {
    auto url = m.string("url");
    if (!url) return;
    s.setBackgroundImageURL(url->empty() ? std::nullopt : std::move(url));
}

void applyPreset(AppState& s, const Message& m) {
    auto id = m.string("presetId");
    if (const ThemePreset* preset = id ? ThemePreset::find(*id) : nullptr) s.applyPreset(*preset);
}

void saveThemeColor(AppState& s, const Message& m) {
    auto key = m.string("key");
    auto value = m.string("value");
    if (key && value) s.updateThemeColor(*key, *value);
}

void resetThemeDark(AppState& s, const Message&) {
    const ThemePreset* black = ThemePreset::find("black");
    s.applyPreset(black ? *black : ThemePreset::all().front());
    s.applyDarkDefaultTheme();
    s.persist();
    reloadActiveTab(s);
}

// ---- proxy profiles and website data ------------------------------------------------------

void testProxy(AppState& s, const Message& m) { s.testProxy(m.string("profileId")); }

void toggleProxyAddon(AppState& s, const Message& m) {
    auto enabled = m.boolean("enabled");
    if (!enabled) return;
    s.profileData.modify([&](ProfileData& d) {
        d.settings.proxyAddonEnabled = *enabled;
        if (!*enabled)
            for (auto& proxy : d.proxies) proxy.isEnabled = false;
    });
    s.persist();
    s.toastMessage.set(*enabled ? "Proxy add-on enabled" : "Proxy add-on disabled");
}

void saveProxy(AppState& s, const Message& m) { s.saveProxyFromMessage(m.body()); }

void deleteProxy(AppState& s, const Message& m) {
    if (auto id = m.uuid("profileId")) s.deleteProxy(*id);
}

void clearWebsiteData(AppState& s, const Message&) {
    std::weak_ptr<AppState> weak = s.weak_from_this();
    s.clearWebsiteData([weak] {
        if (auto self = weak.lock()) self->toastMessage.set("Website data cleared");
    });
}

// ---- developer switches and feedback --------------------------------------------------------

void toggleFlag(AppState& s, const Message& m) {
    auto key = m.string("key");
    auto value = m.boolean("value");
    if (!key || !value) return;
    s.profileData.modify([&](ProfileData& d) { d.settings.flags[*key] = *value; });
    s.persist();
}

void setDeveloperMode(AppState& s, const Message& m) {
    auto value = m.boolean("value");
    if (!value) return;
    s.profileData.modify([&](ProfileData& d) { d.settings.developerMode = *value; });
    s.persist();
}

void exportFeedback(AppState& s, const Message& m) {
    auto feedback = m.string("text");
    if (!feedback) return;
    s.clipboard().setText(*feedback);
    s.toastMessage.set("Feedback copied to clipboard");
}

// ---- the table ----------------------------------------------------------------------------------

struct Action {
    std::string_view name;
    void (*run)(AppState&, const Message&);
};

// Names are compared exactly, in this order; the first equal one runs.
constexpr std::array<Action, 36> actions{{
    {"navigate", navigate},
    {"openSettings", openSettings},
    {"searchOrNavigate", searchOrNavigate},
    {"openThemeEditor", openThemeEditor},
    {"showNewTabCustomize", showNewTabCustomize},
    {"showShortcutsEditor", showShortcutsEditor},
    {"setBackgroundImage", setBackgroundImage},
    {"reloadInternal", reloadInternal},
    {"clearHistory", clearHistory},
    {"deleteHistoryItem", deleteHistoryItem},
    {"clearDownloads", clearDownloads},
    {"switchProfile", switchProfile},
    {"applyPreset", applyPreset},
    {"saveThemeColor", saveThemeColor},
    {"testProxy", testProxy},
    {"toggleProxyAddon", toggleProxyAddon},
    {"saveProxy", saveProxy},
    {"deleteProxy", deleteProxy},
    {"clearWebsiteData", clearWebsiteData},
    {"createProfile", createProfile},
    {"updateProfile", updateProfile},
    {"createBookmarkFolder", createBookmarkFolder},
    {"deleteBookmarkFolder", deleteBookmarkFolder},
    {"renameBookmarkFolder", renameBookmarkFolder},
    {"createBookmark", createBookmark},
    {"deleteBookmark", deleteBookmark},
    {"showNewBookmark", showNewBookmark},
    {"editBookmark", editBookmark},
    {"renameProfile", renameProfile},
    {"deleteProfile", deleteProfile},
    {"setProfileAvatar", setProfileAvatar},
    {"resetThemeDark", resetThemeDark},
    {"toggleFlag", toggleFlag},
    {"setDeveloperMode", setDeveloperMode},
    {"closeInactiveTabs", closeInactiveTabs},
    {"exportFeedback", exportFeedback},
}};

}  // namespace

void AppState::handleInternalMessage(const Json& message) {
    const auto name = json::lenient<std::string>(message, "action");
    if (!name) return;
    log("Internal action: " + *name);
    auto row = std::find_if(actions.begin(), actions.end(), [&](const Action& a) { return a.name == *name; });
    if (row != actions.end()) row->run(*this, Message(message));
}

}  // namespace quorelle
