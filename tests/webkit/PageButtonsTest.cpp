// Every control on every internal page, pressed in a real web view, reaches
// the browser through the script bridge: each one makes the browser carry
// out an action (the developer log records every action it receives).
#include "webkit/WebTestSupport.h"

#include <cctype>
#include <optional>
#include <set>

namespace quorelle::testing {
namespace {

// Presses the control at `index` of the page's interactive elements the way
// a person would: clicks it, or fills and submits its form, or changes its
// value. Answers how many such elements the page has.
std::string pressScript(std::size_t index) {
    return "(function(i) {\n"
           "  var els = document.querySelectorAll('[onclick],[onchange],form[onsubmit]');\n"
           "  if (i >= els.length) return els.length;\n"
           "  var el = els[i];\n"
           "  if (el.tagName == 'FORM') {\n"
           "    el.querySelectorAll('input').forEach(function(f) { f.value = 'typed text'; });\n"
           "    el.requestSubmit();\n"
           "  } else if (el.hasAttribute('onclick') || el.type == 'checkbox') {\n"
           "    el.click();\n"
           "  } else {\n"
           "    el.value = el.type == 'color' ? '#123456' : 'typed text';\n"
           "    el.dispatchEvent(new Event('change'));\n"
           "  }\n"
           "  return els.length;\n"
           "})(" + std::to_string(index) + ")";
}

// The actions internal pages post; the browser carries out each of them.
const std::set<std::string>& pageActions() {
    static const std::set<std::string> actions{
        "navigate",          "searchOrNavigate",     "reloadInternal",    "showShortcutsEditor", "showNewTabCustomize",
        "deleteHistoryItem", "clearHistory",         "showNewBookmark",   "createBookmarkFolder", "renameBookmarkFolder",
        "deleteBookmarkFolder", "editBookmark",      "deleteBookmark",    "clearDownloads",      "createProfile",
        "switchProfile",     "updateProfile",        "deleteProfile",     "closeInactiveTabs",   "clearWebsiteData",
        "applyPreset",       "saveThemeColor",       "exportFeedback",    "toggleFlag",          "setDeveloperMode",
        "toggleProxyAddon",  "saveProxy",            "testProxy",         "deleteProxy"};
    return actions;
}

class PageButtonsTest : public WebTest, public ::testing::WithParamInterface<InternalPageRoute::Case> {
protected:
    void SetUp() override {
        start();
        seed();
    }

    // Dialogs are answered as a person would: confirmed, or with a name typed.
    static gboolean answerDialog(WebKitWebView*, WebKitScriptDialog* dialog, gpointer) {
        const auto type = webkit_script_dialog_get_dialog_type(dialog);
        if (type == WEBKIT_SCRIPT_DIALOG_CONFIRM || type == WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM)
            webkit_script_dialog_confirm_set_confirmed(dialog, TRUE);
        if (type == WEBKIT_SCRIPT_DIALOG_PROMPT) webkit_script_dialog_prompt_set_text(dialog, "Typed name");
        return TRUE;
    }

    // Something for every list a page shows, so every row's buttons exist.
    void seed() {
        state->profileData.modify([&](ProfileData& d) {
            d.settings.developerMode = true;
            d.settings.advancedLogging = true;
            HistoryItem visit;
            visit.title = "Visited";
            visit.url = server.url("/visited");
            d.history = {visit};
            BookmarkFolder folder;
            folder.name = "Work";
            folder.sortOrder = 1;
            d.bookmarkFolders = {folder};
            Bookmark mark;
            mark.title = "Docs";
            mark.url = server.url("/docs");
            mark.folderID = folder.id;
            d.bookmarks = {mark};
            // Only loopback addresses: pressing a shortcut or searching loads them.
            d.shortcuts = {};
            for (int i = 0; i < 2; ++i) {
                ShortcutItem shortcut;
                shortcut.title = "Local " + std::to_string(i);
                shortcut.url = server.url("/shortcut" + std::to_string(i));
                shortcut.sortOrder = i;
                d.shortcuts.push_back(shortcut);
            }
            d.settings.selectedSearchEngineID = "custom";
            d.settings.customSearchEngineURL = server.url("/search?q=%s");
            d.settings.homepage = server.url("/home");
            DownloadItem download;
            download.fileName = "file.txt";
            download.sourceURL = server.url("/file.txt");
            d.downloads = {download};
            ProxyProfile proxy;
            proxy.name = "Office";
            proxy.host = "127.0.0.1";
            proxy.port = closedLoopbackPort();
            d.proxies = {proxy};
            TabGroup group;
            group.name = "Group";
            d.tabGroups = {group};
        });
        BrowserProfile other;
        other.id = Uuid::random().toLowerString();
        other.name = "Other";
        state->appSettings.modify([&](AppSettings& s) { s.profiles.push_back(other); });
        state->persist();
    }

    // The actions the browser received, in order, from its developer log.
    std::vector<std::string> actionsLogged() const {
        static const std::string marker = "Internal action: ";
        std::vector<std::string> actions;
        for (const auto& line : state->developerLog.get())
            if (auto at = line.find(marker); at != std::string::npos) actions.push_back(line.substr(at + marker.size()));
        return actions;
    }
    // Makes sure the page can log: a pressed control may have switched
    // profiles or turned developer mode off.
    void keepLogging() {
        if (state->settings().developerMode && state->settings().advancedLogging) return;
        state->profileData.modify([](ProfileData& d) {
            d.settings.developerMode = true;
            d.settings.advancedLogging = true;
        });
    }
    static void countFinish(WebKitWebView*, WebKitLoadEvent event, gpointer finished) {
        if (event == WEBKIT_LOAD_FINISHED) ++*static_cast<int*>(finished);
    }

    // Renders the page afresh in the active tab (which a profile switch may
    // have replaced) and waits until that render has finished loading, so a
    // press never lands on the page it replaces.
    void show(const std::string& address) {
        showActiveTab();
        state->navigateActive(address);
        drainQueue();
        ASSERT_NE(view(), nullptr);
        g_signal_handlers_disconnect_by_data(view(), &finished);
        g_signal_connect(view(), "script-dialog", G_CALLBACK(&answerDialog), &finished);
        g_signal_connect(view(), "load-changed", G_CALLBACK(&countFinish), &finished);
        const int before = finished;
        state->reloadInternalPageIfActive(InternalPageRoute::from(address).value_or(InternalPageRoute::newtab));
        ASSERT_TRUE(runUntil([&] { return finished > before; })) << address;
        ASSERT_TRUE(waitForPage(address)) << address;
    }
    void drainQueue() {
        runUntil([&] { return queue.pending() == 0 && host() != nullptr; });
    }

    // Lets what a press started (a navigation, a reload) run to its end, so
    // it cannot replace the next render.
    void settle() {
        runUntil([&] {
            auto* shown = host() ? view() : nullptr;
            return queue.pending() == 0 && (!shown || !webkit_web_view_is_loading(shown));
        });
        runFor(50);
    }

    int finished = 0;
};

TEST_P(PageButtonsTest, EveryControlMakesTheBrowserAct) {
    const InternalPageRoute route = GetParam();
    const std::string address = route.vxURL();
    show(address);
    std::size_t controls = std::stoul(evalJS(pressScript(SIZE_MAX >> 12)));
    std::size_t pressed = 0;
    for (std::size_t i = 0; i < controls; ++i) {
        // A press can land on a render that work still running replaces (a
        // proxy test's answer reloads its page); such a press is tried once
        // more on a fresh render. A control that is dead fails both times.
        std::optional<std::string> action;
        for (int attempt = 0; attempt < 2 && !action; ++attempt) {
            show(address);
            // After the render: a profile switch loads the other profile's
            // settings only once its queued work has run.
            keepLogging();
            const std::size_t before = actionsLogged().size();
            const std::string answer = evalJS(pressScript(i));
            ASSERT_FALSE(answer.empty() || !std::isdigit(static_cast<unsigned char>(answer[0]))) << answer;
            controls = std::stoul(answer);
            if (i >= controls) break;  // an earlier control removed rows
            if (runUntil([&] { return actionsLogged().size() > before; }, 5000)) action = actionsLogged()[before];
            settle();
        }
        if (i >= controls) break;
        ++pressed;
        ASSERT_TRUE(action) << address << ": control " << i << " posted nothing the browser accepted";
        EXPECT_TRUE(pageActions().count(*action)) << address << ": control " << i << " posted unknown " << *action;
    }
    if (controls == 0) SUCCEED() << address << " has no controls";
    RecordProperty("controls", static_cast<int>(pressed));
}

std::vector<InternalPageRoute::Case> allRoutes() {
    std::vector<InternalPageRoute::Case> routes;
    for (auto route : InternalPageRoute::allCases()) routes.push_back(route.value());
    return routes;
}

INSTANTIATE_TEST_SUITE_P(AllPages, PageButtonsTest, ::testing::ValuesIn(allRoutes()),
                         [](const ::testing::TestParamInfo<InternalPageRoute::Case>& info) {
                             std::string name;
                             for (char c : InternalPageRoute(info.param).rawValue()) name += c == '-' ? '_' : c;
                             return name;
                         });

}  // namespace
}  // namespace quorelle::testing
