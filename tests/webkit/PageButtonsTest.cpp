// Every control on every internal page, pressed in a real web view: each one
// posts its own action with its own parameters (the row it sits in, the
// values of its form), and the browser receives it (the developer log
// records every action the bridge accepts). Before each press the browser
// data is put back as seeded and the page rendered afresh, so no press sees
// what an earlier one changed. Then what saving a profile's card keeps.
#include "webkit/WebTestSupport.h"
#include "support/EveryInternalPage.h"

#include "model/JsonCodec.h"
#include "model/ThemePreset.h"

#include <filesystem>
#include <optional>

namespace quorelle::testing {
namespace {

// Presses the control at `index` of the page's interactive elements the way
// a person would: clicks it, or fills and submits its form, or changes its
// value. Answers how many such elements the page has, the pressed one's
// label ("text @ the row or card it sits in") and what it posted.
std::string pressScript(std::size_t index) {
    return "(function(i) {\n"
           "  var els = document.querySelectorAll('[onclick],[onchange],form[onsubmit]');\n"
           "  if (i >= els.length) return JSON.stringify({count: els.length});\n"
           "  var el = els[i];\n"
           "  function text(n) { return n ? n.textContent.replace(/\\s+/g, ' ').trim() : ''; }\n"
           "  function own() {\n"
           "    if (el.tagName == 'FORM') return el.querySelector('input').placeholder;\n"
           "    if (el.tagName == 'INPUT') {\n"
           "      var around = el.closest('label');\n"
           "      if (around) return text(around);\n"
           "      var before = el.previousElementSibling;\n"
           "      return before && before.tagName == 'LABEL' ? text(before) : el.id;\n"
           "    }\n"
           "    return text(el.querySelector('span') || el);\n"
           "  }\n"
           "  var label = own();\n"
           "  var row = el.closest('.list-item, .profile-card, .card');\n"
           "  var title = row && row.querySelector(row.classList.contains('list-item') ? 'strong' : 'h2');\n"
           "  if (title && title.firstChild) label += ' @ ' + title.firstChild.textContent.trim();\n"
           "  var posted = [];\n"
           "  var post = window.vxPost;\n"
           "  window.vxPost = function(p) { posted.push(p); return post(p); };\n"
           "  if (el.tagName == 'FORM') {\n"
           "    el.querySelectorAll('input').forEach(function(f) { f.value = 'typed text'; });\n"
           "    el.requestSubmit();\n"
           "  } else if (el.hasAttribute('onclick') || el.type == 'checkbox') {\n"
           "    el.click();\n"
           "  } else {\n"
           "    el.value = '#123456';\n"
           "    el.dispatchEvent(new Event('change'));\n"
           "  }\n"
           "  window.vxPost = post;\n"
           "  return JSON.stringify({count: els.length, label: label, posted: posted});\n"
           "})(" + std::to_string(index) + ")";
}

struct Control {
    std::string label;
    std::vector<Json> posts;
};

Json act(const std::string& action, Json parameters = Json::object()) {
    parameters["action"] = action;
    return parameters;
}

class PageButtonsTest : public WebTest, public ::testing::WithParamInterface<InternalPageRoute::Case> {
protected:
    // Dialogs are answered as a person would: confirmed, or with a name typed.
    static gboolean answerDialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer) {
        const auto type = webkit_script_dialog_get_dialog_type(dialog);
        if (type == WEBKIT_SCRIPT_DIALOG_CONFIRM || type == WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM)
            webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
        if (type == WEBKIT_SCRIPT_DIALOG_PROMPT) webkit_script_dialog_prompt_set_text(dialog, "Typed name");
        return TRUE;
    }

    void SetUp() override {
        start();
        seed();
    }

    // Two of everything a page lists, so a control that posts its
    // neighbour's row shows.
    void seed() {
        state->profileData.modify([&](ProfileData& d) {
            d.settings.developerMode = true;
            d.settings.advancedLogging = true;
            d.history = {visit("Visited two", "/two"), visit("Visited one", "/one")};
            d.bookmarkFolders = {folder("Work", 1), folder("Home", 2)};
            d.bookmarks = {bookmark("Docs", "/docs", d.bookmarkFolders[0].id), bookmark("News", "/news", std::nullopt)};
            // Only loopback addresses: pressing a shortcut or searching loads them.
            d.shortcuts = {shortcut("Local one", "/shortcut1", 0), shortcut("Local two", "/shortcut2", 1)};
            d.settings.selectedSearchEngineID = "custom";
            d.settings.customSearchEngineURL = server.url("/search?q=%s");
            DownloadItem download;
            download.fileName = "file.txt";
            download.sourceURL = server.url("/file.txt");
            d.downloads = {download};
            d.proxies = {proxy("Office"), proxy("Lab")};
        });
        BrowserProfile other;
        other.id = Uuid::random().toLowerString();
        other.name = "Other";
        state->appSettings.modify([&](AppSettings& s) { s.profiles.push_back(other); });
        state->persist();
        seededSettings_ = state->appSettings.get();
        seededData_ = state->profileData.get();
    }
    // Undoes what a press changed: the data as seeded, the first profile
    // current, no proxy test outcome.
    void restore() {
        state->appSettings.set(seededSettings_);
        state->profileData.set(seededData_);
        state->proxyTestResult.set(std::nullopt);
        state->proxyTestError.set(std::nullopt);
        state->persist();
    }
    HistoryItem visit(const std::string& title, const std::string& path) {
        HistoryItem item;
        item.title = title;
        item.url = server.url(path);
        return item;
    }
    static BookmarkFolder folder(const std::string& name, std::int64_t sortOrder) {
        BookmarkFolder made;
        made.name = name;
        made.sortOrder = sortOrder;
        return made;
    }
    Bookmark bookmark(const std::string& title, const std::string& path, std::optional<Uuid> folderID) {
        Bookmark made;
        made.title = title;
        made.url = server.url(path);
        made.folderID = folderID;
        return made;
    }
    ShortcutItem shortcut(const std::string& title, const std::string& path, std::int64_t sortOrder) {
        ShortcutItem made;
        made.title = title;
        made.url = server.url(path);
        made.sortOrder = sortOrder;
        return made;
    }
    static ProxyProfile proxy(const std::string& name) {
        ProxyProfile made;
        made.name = name;
        made.host = "127.0.0.1";
        made.port = closedLoopbackPort();
        return made;
    }

    // Identifiers of what seed() made, as the pages write them.
    const ProfileData& data() const { return state->profileData.get(); }
    std::string historyID(const std::string& title) const {
        for (const auto& item : data().history)
            if (item.title == title) return item.id.toString();
        return "?";
    }
    std::string folderID(const std::string& name) const {
        for (const auto& item : data().bookmarkFolders)
            if (item.name == name) return item.id.toString();
        return "?";
    }
    std::string bookmarkID(const std::string& title) const {
        for (const auto& item : data().bookmarks)
            if (item.title == title) return item.id.toString();
        return "?";
    }
    std::string proxyID(const std::string& name) const {
        for (const auto& item : data().proxies)
            if (item.name == name) return item.id.toString();
        return "?";
    }
    std::string profileID(const std::string& name) const {
        for (const auto& item : state->appSettings.get().profiles)
            if (item.name == name) return item.id;
        return "?";
    }
    const ProxyProfile& proxyNamed(const std::string& name) const {
        for (const auto& item : data().proxies)
            if (item.name == name) return item;
        return data().proxies.front();
    }

    // What each control of the page posts, top to bottom.
    std::vector<Control> expectedControls(InternalPageRoute route) const {
        using R = InternalPageRoute;
        auto one = [](std::string label, Json message) { return Control{std::move(label), {std::move(message)}}; };
        auto go = [&](std::string label, const std::string& url) {
            return one(std::move(label), act("navigate", {{"url", url}}));
        };
        // Menus left as the page opened them are not sent.
        auto saveProfile = [&](const std::string& name) {
            return one("Save changes @ " + name,
                       act("updateProfile", {{"profileId", profileID(name)},
                                             {"name", name},
                                             {"avatarURL", ""},
                                             {"backgroundImageURL", ""}}));
        };
        const std::string closeInactive = "Close inactive tabs";
        switch (route.value()) {
        case R::newtab:
            return {one("Search or type a URL", act("searchOrNavigate", {{"query", "typed text"}})),
                    go("Local one", server.url("/shortcut1")), go("Local two", server.url("/shortcut2")),
                    one("Add shortcut", act("showShortcutsEditor")), one("Customize", act("showNewTabCustomize"))};
        case R::history:
            return {one("Clear history", act("clearHistory")),
                    one("Delete @ Visited two", act("deleteHistoryItem", {{"itemId", historyID("Visited two")}})),
                    go("Open @ Visited two", server.url("/two")),
                    one("Delete @ Visited one", act("deleteHistoryItem", {{"itemId", historyID("Visited one")}})),
                    go("Open @ Visited one", server.url("/one"))};
        case R::settings: {
            std::vector<Control> controls;
            const std::vector<std::pair<std::string, std::string>> links{
                {"Profiles", "vx://profiles"},      {"Appearance", "vx://themes"},     {"New Tab Page", "vx://shortcuts"},
                {"Bookmarks", "vx://bookmarks"},    {"History", "vx://history"},       {"Privacy", "vx://privacy"},
                {"Permissions", "vx://permissions"}, {"Security", "vx://security"},     {"Performance", "vx://performance"},
                {"Memory", "vx://memory"},          {"Passwords", "vx://passwords"},   {"Downloads", "vx://downloads"},
                {"Tab Groups", "vx://tab-groups"},  {"Developer Mode", "vx://experiments"}, {"About", "vx://about"}};
            for (const auto& [title, address] : links) controls.push_back(go(title, address));
            for (const auto& [title, address] : links) controls.push_back(go("Open @ " + title, address));
            return controls;
        }
        case R::bookmarks:
            return {one("New Bookmark", act("showNewBookmark")),
                    one("New Folder", act("createBookmarkFolder", {{"name", "Typed name"}})),
                    one("Delete @ Work", act("deleteBookmarkFolder", {{"folderId", folderID("Work")}})),
                    one("Rename @ Work",
                        act("renameBookmarkFolder", {{"folderId", folderID("Work")}, {"name", "Typed name"}})),
                    one("Delete @ Home", act("deleteBookmarkFolder", {{"folderId", folderID("Home")}})),
                    one("Rename @ Home",
                        act("renameBookmarkFolder", {{"folderId", folderID("Home")}, {"name", "Typed name"}})),
                    one("Delete @ Docs", act("deleteBookmark", {{"bookmarkId", bookmarkID("Docs")}})),
                    go("Open @ Docs", server.url("/docs")),
                    one("Edit @ Docs", act("editBookmark", {{"bookmarkId", bookmarkID("Docs")}})),
                    one("Delete @ News", act("deleteBookmark", {{"bookmarkId", bookmarkID("News")}})),
                    go("Open @ News", server.url("/news")),
                    one("Edit @ News", act("editBookmark", {{"bookmarkId", bookmarkID("News")}}))};
        case R::downloads:
            return {one("Clear list", act("clearDownloads"))};
        case R::profiles:
            return {one("Create profile", act("createProfile", {{"name", "Typed name"}})),
                    one("Reset icon to initials @ Default",
                        act("updateProfile", {{"profileId", "default"}, {"resetAvatar", true}})),
                    one("Switch @ Default", act("switchProfile", {{"profileId", "default"}})),
                    saveProfile("Default"),
                    one("Switch @ Guest", act("switchProfile", {{"profileId", "guest"}})),
                    one("Reset icon to initials @ Other",
                        act("updateProfile", {{"profileId", profileID("Other")}, {"resetAvatar", true}})),
                    one("Switch @ Other", act("switchProfile", {{"profileId", profileID("Other")}})),
                    saveProfile("Other"), one("Delete @ Other", act("deleteProfile", {{"profileId", profileID("Other")}}))};
        case R::sessions:
        case R::performance:
        case R::memory:
            return {one(closeInactive, act("closeInactiveTabs"))};
        case R::privacy:
            return {one("Clear history @ Clear data", act("clearHistory")),
                    one("Clear cookies & cache @ Clear data", act("clearWebsiteData"))};
        case R::themes: {
            std::vector<Control> controls;
            for (const auto& preset : ThemePreset::all())
                controls.push_back(one(preset.name + " @ Presets", act("applyPreset", {{"presetId", preset.id}})));
            controls.push_back(one("Chrome dark default @ Presets", act("applyPreset", {{"presetId", "black"}})));
            for (const auto& [key, label] : std::vector<std::pair<std::string, std::string>>{
                     {"primaryText", "Primary text"},
                     {"accent", "Accent / wordmark"},
                     {"mutedText", "Muted text"},
                     {"button", "Button"},
                     {"newTabBackground", "New tab background"}})
                controls.push_back(Control{label + " @ Colors", {act("saveThemeColor", {{"key", key}, {"value", "#123456"}}),
                                                                 act("reloadInternal")}});
            return controls;
        }
        case R::shortcuts:
            return {go("Preview New Tab", "vx://newtab")};
        case R::feedback:
            return {one("Copy feedback", act("exportFeedback", {{"text", "Bug report\n\n"}}))};
        case R::passwords:
            return {go("Password settings", "vx://settings")};
        case R::flags:
            return {one(" @ Smooth scrolling", act("toggleFlag", {{"key", "smooth-scrolling"}, {"value", true}})),
                    one(" @ Tab hover cards", act("toggleFlag", {{"key", "tab-hover-cards"}, {"value", true}}))};
        case R::experiments:
            return {one("Enable Developer Mode", act("setDeveloperMode", {{"value", false}}))};
        case R::proxy: {
            const ProxyProfile& office = proxyNamed("Office");
            return {one("Enable proxy add-on @ Enable proxy add-on", act("toggleProxyAddon", {{"enabled", true}})),
                    one("Save profile @ Proxy profile",
                        act("saveProxy", {{"profileId", office.id.toString()},
                                          {"name", "Office"},
                                          {"type", "http"},
                                          {"host", "127.0.0.1"},
                                          {"port", std::to_string(office.port)},
                                          {"username", ""},
                                          {"password", ""},
                                          {"enabled", false}})),
                    one("Test proxy @ Proxy profile", act("testProxy", {{"profileId", proxyID("Office")}})),
                    one("Test @ Office", act("testProxy", {{"profileId", proxyID("Office")}})),
                    one("Delete @ Office", act("deleteProxy", {{"profileId", proxyID("Office")}})),
                    one("Test @ Lab", act("testProxy", {{"profileId", proxyID("Lab")}})),
                    one("Delete @ Lab", act("deleteProxy", {{"profileId", proxyID("Lab")}}))};
        }
        default:
            return {};
        }
    }

    // The actions the browser received, in order, from its developer log.
    std::vector<std::string> actionsLogged() const {
        static const std::string marker = "Internal action: ";
        std::vector<std::string> actions;
        for (const auto& line : state->developerLog.get())
            if (auto at = line.find(marker); at != std::string::npos) actions.push_back(line.substr(at + marker.size()));
        return actions;
    }

    // Shows the page in the fresh state's tab and waits until it has loaded.
    static void countFinish(WebKitWebView*, WebKitLoadEvent event, gpointer finished) {
        if (event == WEBKIT_LOAD_FINISHED) ++*static_cast<int*>(finished);
    }
    // Lets everything under way end: queued work and any load.
    void quiesce() {
        ASSERT_TRUE(runUntil([&] { return queue.pending() == 0 && host() && !webkit_web_view_is_loading(view()); }));
    }
    // Renders the page afresh in the active tab, once, and waits until that
    // render has loaded: a press on a render already replaced is refused.
    void show(const std::string& address) {
        showActiveTab();
        quiesce();
        g_signal_handlers_disconnect_by_data(view(), &finished_);
        g_signal_connect(view(), "script-dialog", G_CALLBACK(&answerDialog), &finished_);
        g_signal_connect(view(), "load-changed", G_CALLBACK(&countFinish), &finished_);
        const int before = finished_;
        if (tab()->isInternal.get() && tab()->urlString.get() == address)
            state->reloadInternalPageIfActive(InternalPageRoute::from(address).value_or(InternalPageRoute::newtab));
        else
            state->navigateActive(address);
        ASSERT_TRUE(runUntil([&] { return finished_ > before; })) << address;
        ASSERT_TRUE(waitForPage(address)) << address;
    }
    // Waits out what a press started: its queued work, a page it loads, a
    // proxy test it runs.
    void finishPress(const Json& posted) {
        const bool testsProxy = std::any_of(posted.begin(), posted.end(),
                                            [](const Json& m) { return m.value("action", "") == "testProxy"; });
        EXPECT_TRUE(runUntil([&] {
            const bool tested = !testsProxy || state->proxyTestResult.get() || state->proxyTestError.get();
            return tested && queue.pending() == 0 && !(view() && webkit_web_view_is_loading(view()));
        }));
    }
    // Presses control `index`; none when the page has fewer controls.
    std::optional<Json> press(std::size_t index) {
        const auto answer = json::parse(evalJS(pressScript(index)));
        if (!answer || !answer->is_string()) return std::nullopt;
        return json::parse(answer->get<std::string>());
    }

    AppSettings seededSettings_;
    ProfileData seededData_;
    int finished_ = 0;
};

TEST_P(PageButtonsTest, EachControlPostsItsOwnActionAndTheBrowserTakesIt) {
    const InternalPageRoute route = GetParam();
    const std::string address = route.vxURL();
    const std::vector<Control> expected = expectedControls(route);
    std::size_t pressed = 0;
    for (;; ++pressed) {
        restore();
        show(address);
        if (HasFatalFailure()) return;
        const std::size_t logged = actionsLogged().size();
        const auto answer = press(pressed);
        ASSERT_TRUE(answer && answer->contains("count")) << address << ": control " << pressed;
        if (pressed >= answer->at("count").get<std::size_t>()) break;
        const std::string label = answer->at("label").get<std::string>();
        ASSERT_LT(pressed, expected.size()) << address << ": control " << pressed << " '" << label << "' is unexpected";
        EXPECT_EQ(label, expected[pressed].label) << address << ": control " << pressed;
        const Json& posted = answer->at("posted");
        EXPECT_EQ(posted, Json(expected[pressed].posts)) << address << ": '" << label << "'";
        // The browser receives what the page posted. What it does may render
        // the page again, which refuses anything more the old render posts.
        if (!posted.empty()) {
            EXPECT_TRUE(runUntil([&] { return actionsLogged().size() > logged; }))
                << address << ": '" << label << "' never reached the browser";
            if (actionsLogged().size() > logged) {
                EXPECT_EQ(actionsLogged()[logged], posted[0].value("action", "")) << address << ": '" << label << "'";
            }
        }
        finishPress(posted);
    }
    EXPECT_EQ(pressed, expected.size()) << address;
    RecordProperty("controls", static_cast<int>(pressed));
}

// The profiles page over a real data folder. Saving a card after changing
// only its name keeps the rest of the profile: its custom search engine, and
// colours edited since the first launch with no preset taken. What the user
// does choose in the card's menus is saved. Showing the page makes no folder
// for the guest, who keeps nothing on disk.
class ProfileCardTest : public WebTest {
protected:
    // Sets the fields of the current profile's card, each class to a value,
    // as a person would, then presses its "Save changes".
    void saveCard(const std::vector<std::pair<std::string, std::string>>& fields) {
        std::string script = "(function(card) {";
        for (const auto& [cls, value] : fields)
            script += " var e = card.querySelector('." + cls + "'); e.value = '" + value +
                      "'; e.dispatchEvent(new Event('change'));";
        script += " Array.from(card.querySelectorAll('button')).find(function(b) {"
                  "   return b.textContent == 'Save changes'; }).click(); })(" + card + ")";
        evalJS(script);
    }
    const std::string card = "document.querySelector('.profile-card[data-profile=\"default\"]')";
};

TEST_F(ProfileCardTest, SavingACardKeepsWhatTheUserLeftAndTheGuestGetsNoFolder) {
    start();
    const std::string search = server.url("/search?q=%s");
    state->profileData.modify([&](ProfileData& d) {
        d.settings.selectedSearchEngineID = "custom";
        d.settings.customSearchEngineURL = search;
    });
    state->updateThemeColor("accent", "#123456");
    ASSERT_TRUE(loadPage("vx://profiles"));
    EXPECT_EQ(evalJS(card + ".querySelector('.profile-engine').selectedOptions[0].textContent"), "\"Custom\"");

    saveCard({{"profile-name", "Renamed"}});
    ASSERT_TRUE(runUntil([&] { return state->currentProfile().name == "Renamed"; }));
    ASSERT_TRUE(waitForPage("vx://profiles"));
    for (const ProfileData& data : {state->profileData.get(), store->loadProfileData("default")}) {
        EXPECT_EQ(data.settings.selectedSearchEngineID, "custom");
        EXPECT_EQ(data.settings.resolvedSearchEngine().urlTemplate, search);
        EXPECT_EQ(data.theme.colors.accent, "#123456");
    }
    EXPECT_EQ(state->currentProfile().themePresetID, std::nullopt);

    saveCard({{"profile-theme", "midnight"}, {"profile-engine", "bing"}});
    ASSERT_TRUE(runUntil([&] { return state->currentProfile().themePresetID == "midnight"; }));
    EXPECT_EQ(state->profileData.get().settings.selectedSearchEngineID, "bing");
    EXPECT_EQ(state->profileData.get().theme.colors, ThemePreset::find("midnight")->colors);

    store->flush();
    EXPECT_TRUE(std::filesystem::exists(scratch_ + "/QuorelleData/profiles/default"));
    EXPECT_FALSE(std::filesystem::exists(scratch_ + "/QuorelleData/profiles/guest"));
}

INSTANTIATE_TEST_SUITE_P(AllPages, PageButtonsTest, ::testing::ValuesIn(everyInternalPage()), internalPageCaseName);

}  // namespace
}  // namespace quorelle::testing
