// Every control of every internal page, clicked for real in the whole
// browser (a form filled in and sent with Return, a menu or colour changed as
// the page hears it): what the user types next lands somewhere, in the page,
// the omnibox or the field the control opened. A question the page asks
// (confirm, prompt) is answered first, as the user answers it.
#include "input/TypingTest.h"
#include "support/EveryInternalPage.h"

#include "model/BrowserTab.h"

#include <string>
#include <vector>

namespace quorelle::testing {
namespace {

// Finds the page's control `index` and makes ready to press it: scrolled
// into view, with where to click it. Answers how many controls the page has,
// and for the one found its label, how it is pressed ("click", "form" for a
// form whose first field is clicked, typed into and sent, "change" for a
// value the script sets) and where to click.
std::string findScript(std::size_t index) {
    return "(function(i) {\n"
           "  var els = document.querySelectorAll('[onclick],[onchange],form[onsubmit]');\n"
           "  if (i >= els.length) return {count: els.length};\n"
           "  var el = els[i];\n"
           "  var kind = el.tagName == 'FORM' ? 'form'\n"
           "      : (el.hasAttribute('onclick') || el.type == 'checkbox') ? 'click' : 'change';\n"
           "  var target = kind == 'form' ? el.querySelector('input') : el;\n"
           "  target.scrollIntoView({block: 'center'});\n"
           "  var r = target.getBoundingClientRect();\n"
           "  var label = (kind == 'form' ? target.placeholder : el.textContent).replace(/\\s+/g, ' ').trim();\n"
           "  return {count: els.length, label: label || el.id || el.className, kind: kind,\n"
           "          x: r.x + r.width / 2, y: r.y + r.height / 2};\n"
           "})(" + std::to_string(index) + ")";
}

// Sets control `index`'s value as a person would pick one, and tells the page.
std::string changeScript(std::size_t index) {
    return "(function(i) {\n"
           "  var el = document.querySelectorAll('[onclick],[onchange],form[onsubmit]')[i];\n"
           "  if (el.tagName == 'SELECT' && el.options.length > 1) el.selectedIndex = (el.selectedIndex + 1) %"
           " el.options.length;\n"
           "  else el.value = '#123456';\n"
           "  el.dispatchEvent(new Event('change'));\n"
           "  return true;\n"
           "})(" + std::to_string(index) + ")";
}

class InternalPageKeysTest : public TypingTest, public ::testing::WithParamInterface<InternalPageRoute::Case> {
protected:
    void SetUp() override {
        ASSERT_TRUE(runUntil([&] { return mainWindow().get_mapped(); }));
        seed();
    }

    // Two of everything a page lists; every address is one of the pages
    // that hear keys.
    void seed() {
        state->profileData.modify([&](ProfileData& d) {
            d.settings.developerMode = true;
            d.settings.selectedSearchEngineID = "custom";
            d.settings.customSearchEngineURL = server.url(std::string(pageA) + "?q=%s");
            d.history.clear();
            d.bookmarks.clear();
            d.bookmarkFolders.clear();
            d.shortcuts.clear();
            d.proxies.clear();
            d.downloads.clear();
            for (const char* path : {pageA, pageB}) {
                HistoryItem visit;
                visit.title = path;
                visit.url = server.url(path);
                d.history.push_back(visit);
                Bookmark bookmark;
                bookmark.title = path;
                bookmark.url = server.url(path);
                d.bookmarks.push_back(bookmark);
                BookmarkFolder folder;
                folder.name = path;
                d.bookmarkFolders.push_back(folder);
                ShortcutItem shortcut;
                shortcut.title = path;
                shortcut.url = server.url(path);
                d.shortcuts.push_back(shortcut);
                ProxyProfile proxy;
                proxy.name = path;
                proxy.host = "127.0.0.1";
                proxy.port = closedLoopbackPort();
                d.proxies.push_back(proxy);
                DownloadItem download;
                download.fileName = "file.txt";
                download.sourceURL = server.url(path);
                d.downloads.push_back(download);
            }
        });
        BrowserProfile other;
        other.id = Uuid::random().toLowerString();
        other.name = "Other";
        state->appSettings.modify([&](AppSettings& s) { s.profiles.push_back(other); });
        state->persist();
        seededSettings_ = state->appSettings.get();
        seededData_ = state->profileData.get();
    }
    // Back to the seeded data in the first profile, with nothing over the
    // window and no other window open.
    void restore() {
        for (Gtk::Window* window : Gtk::Window::list_toplevels())
            if (window != &mainWindow() && window->get_visible()) window->close();
        for (auto* flag : {&state->showNewBookmarkSheet, &state->showNewTabCustomize, &state->showShortcutsEditor})
            flag->set(false);
        state->editingBookmark.set(std::nullopt);
        if (state->currentProfile().id != "default") state->switchProfile("default");
        state->appSettings.set(seededSettings_);
        state->profileData.set(seededData_);
        state->proxyTestResult.set(std::nullopt);
        state->proxyTestError.set(std::nullopt);
        state->persist();
        ASSERT_TRUE(runUntil([&] { return &keyWindow() == static_cast<Gtk::Window*>(&mainWindow()); }));
    }
    bool showsPage(const std::string& address) {
        const auto tab = state->activeTab();
        return tab && tab->urlString.get() == address && view().tabContent().tab() == tab && shownPageLoaded() &&
               !tab->isLoading.get();
    }
    // Presses control `index` of the page for real; its label, or nothing
    // when the page has no such control.
    std::optional<std::string> press(std::size_t index) {
        // The page notes a form sent. Its questions are answered yes (and
        // "Typed") at once: a real question's dialog, closed, gives the keys
        // back where they were, as the dialogs' own cases show.
        const std::string watch =
            "window.submitted = false; addEventListener('submit', function() { window.submitted = true; }, true);"
            " window.confirm = function() { return true; }; window.prompt = function() { return 'Typed'; }; true";
        EXPECT_EQ(evalInPage(watch), "true");
        Json found;
        EXPECT_TRUE(runUntil([&] {
            found = json::parse(evalInPage(findScript(index))).value_or(Json());
            return found.is_object();
        }));
        if (found.is_object()) controls_ = found.value("count", 0u);
        if (!found.is_object() || index >= controls_) return std::nullopt;
        const std::string kind = found.at("kind");
        if (kind == "change") {
            // The page takes the keys from a click beside its content.
            EXPECT_TRUE(clickPageAt(2, 2));
            EXPECT_TRUE(runUntil([&] { return mainWindow().get_focus() == page(); }));
            evalInPage(changeScript(index));
        } else {
            EXPECT_TRUE(clickPageAt(found.at("x"), found.at("y")));
        }
        if (kind == "form") {
            EXPECT_TRUE(runUntil([&] { return pressAccelerator(mainWindow(), "<Control>a"); }));
            EXPECT_TRUE(runUntil([&] { return typeText(mainWindow(), "Typed"); }));
            EXPECT_TRUE(runUntil([&] { return pressAccelerator(mainWindow(), "Return"); }));
            // Sent once the page noted it, or has gone for what it started.
            EXPECT_TRUE(runUntil([&] { return evalInPage("window.submitted !== false") == "true"; }));
        }
        return found.value("label", "") + " (" + kind + ")";
    }

    AppSettings seededSettings_;
    ProfileData seededData_;
    // How many controls the page had when last looked for.
    unsigned controls_ = 0;
};

// The pages that only tell: nothing on them is pressed.
bool hasNoControls(InternalPageRoute route) {
    using R = InternalPageRoute;
    for (R without : {R::about, R::extensions, R::permissions, R::security, R::sync, R::tabGroups, R::updates})
        if (route == without) return true;
    return false;
}

TEST_P(InternalPageKeysTest, AfterEachControlTheKeysLandSomewhere) {
    const std::string address = InternalPageRoute(GetParam()).vxURL();
    for (std::size_t index = 0;; ++index) {
        restore();
        state->navigateActive(address);
        ASSERT_TRUE(runUntil([&] { return showsPage(address); })) << address;
        ASSERT_TRUE(pageDrawn());
        const auto label = press(index);
        if (!label || HasFatalFailure()) break;
        SCOPED_TRACE(address + ": " + *label);
        // A proxy test shows its outcome on the page once it ends.
        const bool testsProxy = label->starts_with("Test");
        ASSERT_TRUE(runUntil([&] {
            const auto tab = state->activeTab();
            const bool tested = !testsProxy || state->proxyTestResult.get() || state->proxyTestError.get();
            return tested && queue.pending() == 0 && openPopover() == nullptr && shownPageLoaded() && tab &&
                   !tab->isLoading.get();
        }));
        EXPECT_TRUE(typedLandsIn()) << "the keys went nowhere: the focus is on " << focusName(keyWindow());
    }
    restore();
    // Every control the case looks for was pressed: a page, or a selector,
    // that has none would pass untried.
    if (hasNoControls(GetParam()))
        EXPECT_EQ(controls_, 0u) << address << " has controls now: take it off the pages without";
    else
        EXPECT_GT(controls_, 0u) << "no control found on " << address;
}

INSTANTIATE_TEST_SUITE_P(AllPages, InternalPageKeysTest, ::testing::ValuesIn(everyInternalPage()), internalPageCaseName);

}  // namespace
}  // namespace quorelle::testing
