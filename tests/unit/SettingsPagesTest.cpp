#include "model/QuorelleAssets.h"
#include "web/InternalHTMLStyles.h"
#include "web/InternalPages.h"
#include "support/HostileCorpus.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quorelle {
namespace {

namespace hostile = testing::hostile;

// Sets TZ for one test and puts the old value back.
class TimeZoneScope {
public:
    explicit TimeZoneScope(const char* zone) {
        if (const char* old = std::getenv("TZ")) old_ = old;
        setenv("TZ", zone, 1);
    }
    ~TimeZoneScope() {
        if (old_) setenv("TZ", old_->c_str(), 1);
        else unsetenv("TZ");
    }
    TimeZoneScope(const TimeZoneScope&) = delete;
    TimeZoneScope& operator=(const TimeZoneScope&) = delete;

private:
    std::optional<std::string> old_;
};

Date utc(const char* iso) { return *Date::parseIso8601(iso); }

Uuid uuid(const char* text) { return *Uuid::parse(text); }

InternalPageContext makeContext(InternalPageRoute route) {
    InternalPageContext context{.route = route, .profileData = ProfileData::empty()};
    context.currentProfile = BrowserProfile::defaultProfile();
    context.bridgeToken = "0123456789abcdef0123456789abcdef";
    return context;
}

HistoryItem visit(const char* title, const char* url, const char* when) {
    return HistoryItem{.title = title, .url = url, .visitedAt = utc(when)};
}

// Positions of each needle in order; fails the test when one is missing or
// out of order.
void expectInOrder(const std::string& text, const std::vector<std::string>& needles) {
    std::size_t from = 0;
    for (const std::string& needle : needles) {
        const std::size_t at = text.find(needle, from);
        ASSERT_NE(at, std::string::npos) << "missing or out of order: " << needle;
        from = at + needle.size();
    }
}

std::size_t occurrences(const std::string& text, const std::string& needle) {
    std::size_t count = 0;
    for (std::size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++count;
    return count;
}

// ---- Settings ----

TEST(SettingsPage, ListsEveryLinkInSidebarAndCardsInTableOrder) {
    const std::string html = pages::settingsPage(makeContext(InternalPageRoute::settings));
    EXPECT_NE(html.find("<title>Settings</title>"), std::string::npos);
    expectInOrder(html, {"<div class=\"page-wide layout\">", "<nav class=\"sidebar desktop-sidebar\">",
                         "<a href=\"#\" onclick=\"vxNavigate('vx://profiles');return false;\">Profiles</a>"
                         "<a href=\"#\" onclick=\"vxNavigate('vx://themes');return false;\">Appearance</a>",
                         "<a href=\"#\" onclick=\"vxNavigate('vx://about');return false;\">About</a></nav>",
                         "<div class=\"main\">", "<h1>Settings</h1>", "<p class=\"desc\">Manage Quorelle</p>",
                         "<div class=\"card\"><h2>Search</h2><p>Engine: Google</p></div>",
                         "<div class=\"card\"><h2>Profiles</h2><p>Manage people and guest mode</p>"
                         "<div class=\"btn-row\"><button class=\"btn btn-primary\" "
                         "onclick=\"vxNavigate('vx://profiles')\">Open</button></div></div>"});
    const std::vector<std::string> order = {"profiles", "themes",      "shortcuts", "bookmarks", "history",
                                            "privacy",  "permissions", "security",  "performance", "memory",
                                            "passwords", "downloads",  "tab-groups", "experiments", "about"};
    std::vector<std::string> sidebar, cards;
    for (const std::string& page : order) {
        sidebar.push_back("vxNavigate('vx://" + page + "');return false;");
        cards.push_back("onclick=\"vxNavigate('vx://" + page + "')\">Open");
    }
    expectInOrder(html, sidebar);
    expectInOrder(html, cards);
    EXPECT_EQ(occurrences(html, ">Open</button>"), 15u);
    EXPECT_NE(html.find("<h2>Tab Groups</h2><p>Organize tabs</p>"), std::string::npos);
    EXPECT_NE(html.find("<h2>Developer Mode</h2><p>Advanced tools</p>"), std::string::npos);
}

TEST(SettingsPage, NamesTheResolvedSearchEngine) {
    InternalPageContext context = makeContext(InternalPageRoute::settings);
    context.profileData.settings.selectedSearchEngineID = SearchEngine::duckDuckGo().id;
    EXPECT_NE(pages::settingsPage(context).find("<p>Engine: " + SearchEngine::duckDuckGo().name + "</p>"),
              std::string::npos);
    context.profileData.settings.selectedSearchEngineID = "no-such-engine";
    EXPECT_NE(pages::settingsPage(context).find("<p>Engine: Google</p>"), std::string::npos);
}

// ---- History ----

TEST(HistoryPage, OrdersDaysByDateNewestFirstAcrossMonthAndYearBoundaries) {
    TimeZoneScope zone("UTC0");
    InternalPageContext context = makeContext(InternalPageRoute::history);
    context.profileData.history = {
        visit("Sep", "https://a.example/sep", "2024-09-30T12:00:00Z"),
        visit("Dec 9", "https://a.example/dec9", "2024-12-09T12:00:00Z"),
        visit("Jan 1", "https://a.example/jan1", "2025-01-01T12:00:00Z"),
        visit("Oct", "https://a.example/oct", "2024-10-01T12:00:00Z"),
        visit("Dec 31", "https://a.example/dec31", "2024-12-31T12:00:00Z"),
        visit("Dec 10", "https://a.example/dec10", "2024-12-10T12:00:00Z"),
    };
    const std::string html = pages::historyPage(context);
    const std::string h2 = "<h2 style=\"font-size:13px;color:var(--vx-muted);margin:16px 0 8px\">";
    expectInOrder(html, {h2 + "Jan 1, 2025</h2>", h2 + "Dec 31, 2024</h2>", h2 + "Dec 10, 2024</h2>",
                         h2 + "Dec 9, 2024</h2>", h2 + "Oct 1, 2024</h2>", h2 + "Sep 30, 2024</h2>"});
}

TEST(HistoryPage, GroupsByLocalCalendarDateKeepingStoredOrder) {
    TimeZoneScope zone("EST5");  // UTC-5, no daylight saving
    InternalPageContext context = makeContext(InternalPageRoute::history);
    context.profileData.history = {
        visit("Late", "https://a.example/late", "2024-12-10T03:30:00Z"),   // Dec 9, 10:30 PM local
        visit("Early", "https://a.example/early", "2024-12-09T14:05:00Z"),  // Dec 9, 9:05 AM local
        visit("Next", "https://a.example/next", "2024-12-10T05:00:00Z"),   // Dec 10, 12:00 AM local
    };
    const std::string html = pages::historyPage(context);
    EXPECT_EQ(occurrences(html, "<h2 style="), 2u);
    expectInOrder(html, {"Dec 10, 2024</h2>", "<strong>Next</strong>", "https://a.example/next · 12:00 AM",
                         "Dec 9, 2024</h2>", "<strong>Late</strong>", "https://a.example/late · 10:30 PM",
                         "<strong>Early</strong>", "https://a.example/early · 9:05 AM"});
}

TEST(HistoryPage, RowsCarryIconMetaAndBothActions) {
    InternalPageContext context = makeContext(InternalPageRoute::history);
    HistoryItem item = visit("Docs", "https://docs.example/it's", "2024-03-04T15:00:00Z");
    item.id = uuid("6f1c2a3e-1d2b-4c5d-8e9f-0a1b2c3d4e5f");
    context.profileData.history = {item, visit("Internal", "vx://settings", "2024-03-04T14:00:00Z")};
    context.cachedFavicon = [](const std::string& url) -> std::optional<std::string> {
        if (url.find("docs.example") != std::string::npos) return "https://docs.example/favicon.ico";
        return std::nullopt;
    };
    const std::string html = pages::historyPage(context);
    expectInOrder(html, {"<div class=\"list-item\"><img src=\"https://docs.example/favicon.ico\" alt=\"\" "
                         "style=\"width:16px;height:16px;border-radius:3px;margin-top:2px\">",
                         "<div class=\"meta\"><strong>Docs</strong><small>https://docs.example/it's · ",
                         "<div class=\"btn-row\" style=\"margin:0\"><button class=\"btn btn-danger\" "
                         "onclick=\"vxAction({action:'deleteHistoryItem', itemId:'6F1C2A3E-1D2B-4C5D-8E9F-"
                         "0A1B2C3D4E5F'})\">Delete</button><button class=\"btn btn-secondary\" "
                         "onclick=\"vxNavigate('https://docs.example/it\\'s')\">Open</button></div></div>",
                         "<img src=\"" + InternalHTMLStyles::internalFaviconHref() + "\""});
    EXPECT_EQ(InternalHTMLStyles::internalFaviconHref(), "vx-local://QuorelleLogo");  // never the image itself
    EXPECT_EQ(html.find("file:"), std::string::npos);
}

TEST(HistoryPage, EmptyAndGuestStates) {
    InternalPageContext context = makeContext(InternalPageRoute::history);
    std::string html = pages::historyPage(context);
    expectInOrder(html, {"<div class=\"page\">", "<div class=\"row-between\"><div class=\"page-header\">",
                         "<h1>History</h1>", "<p class=\"desc\">Pages you have visited</p>",
                         "<button class=\"btn btn-danger\" onclick=\"if(confirm('Clear all history?')) "
                         "vxAction({action:'clearHistory'})\">Clear history</button></div>",
                         "<div class=\"card\"><div class=\"empty\">No history yet</div></div>"});
    EXPECT_EQ(html.find("Guest mode"), std::string::npos);

    context.currentProfile = BrowserProfile::guestProfile();
    html = pages::historyPage(context);
    expectInOrder(html, {"Clear history</button></div>",
                         "<div class=\"warn\">Guest mode: history is not saved permanently.</div>",
                         "<div class=\"empty\">No history yet</div>"});
}

// ---- Bookmarks ----

TEST(BookmarksPage, RowsShowFolderNameIconAndActions) {
    InternalPageContext context = makeContext(InternalPageRoute::bookmarks);
    const Uuid work = uuid("11111111-2222-4333-8444-555555555555");
    Bookmark inWork{.id = uuid("aaaaaaaa-bbbb-4ccc-8ddd-eeeeeeeeeeee"), .title = "a < b", .url = "https://x.example/o'k",
                    .faviconURL = "https://x.example/f.png", .customIconURL = "https://cdn.example/mine.png",
                    .folderID = work};
    Bookmark orphan{.title = "Orphan", .url = "https://y.example/", .faviconURL = "https://y.example/f.png",
                    .folderID = uuid("99999999-2222-4333-8444-555555555555")};
    Bookmark top{.title = "Top", .url = "https://z.example/", .faviconURL = std::string(QuorelleAssets::logoFaviconReference)};
    context.profileData.bookmarks = {inWork, orphan, top};
    context.profileData.bookmarkFolders = {BookmarkFolder{.id = work, .name = "Work", .sortOrder = 0}};

    const std::string html = pages::bookmarksPage(context);
    expectInOrder(html, {"<img src=\"https://cdn.example/mine.png\"",
                         "<strong>a &lt; b</strong><small>https://x.example/o'k · Folder: Work</small>",
                         "<button class=\"btn btn-danger\" onclick=\"vxAction({action:'deleteBookmark', "
                         "bookmarkId:'AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE'})\">Delete</button>"
                         "<button class=\"btn btn-secondary\" onclick=\"vxNavigate('https://x.example/o\\'k')\">"
                         "Open</button><button class=\"btn btn-secondary\" onclick=\"vxAction({action:'editBookmark', "
                         "bookmarkId:'AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE'})\">Edit</button>",
                         "<img src=\"https://y.example/f.png\"", "https://y.example/ · Folder: —</small>",
                         "<img src=\"" + InternalHTMLStyles::internalFaviconHref() + "\"",
                         "https://z.example/ · Folder: —</small>"});

    context.profileData.bookmarkFolders.clear();
    EXPECT_NE(pages::bookmarksPage(context).find("https://x.example/o'k · Folder: —</small>"), std::string::npos);
}

TEST(BookmarksPage, FoldersSortStablyWithCountsAndPrefilledRename) {
    InternalPageContext context = makeContext(InternalPageRoute::bookmarks);
    const BookmarkFolder later{.id = uuid("33333333-0000-4000-8000-000000000000"), .name = "Later", .sortOrder = 5};
    const BookmarkFolder firstTie{.id = uuid("11111111-0000-4000-8000-000000000000"), .name = "Bob's", .sortOrder = 1};
    const BookmarkFolder secondTie{.id = uuid("22222222-0000-4000-8000-000000000000"), .name = "Tie", .sortOrder = 1};
    context.profileData.bookmarkFolders = {later, firstTie, secondTie};
    context.profileData.bookmarks = {Bookmark{.title = "1", .url = "https://1.example/", .folderID = firstTie.id},
                                     Bookmark{.title = "2", .url = "https://2.example/", .folderID = firstTie.id},
                                     Bookmark{.title = "3", .url = "https://3.example/", .folderID = later.id}};

    const std::string html = pages::bookmarksPage(context);
    expectInOrder(html,
                  {"<div class=\"card\"><h2>Folders</h2><div class=\"list-item\"><strong>Bob's</strong>"
                   "<small>2 bookmark(s)</small><div class=\"btn-row\" style=\"margin:0\">"
                   "<button class=\"btn btn-danger\" onclick=\"if(confirm('Delete folder? Bookmarks will move to "
                   "root.')) vxAction({action:'deleteBookmarkFolder', folderId:'11111111-0000-4000-8000-"
                   "000000000000'})\">Delete</button><button class=\"btn btn-secondary\" onclick=\"var "
                   "n=prompt('Rename folder','Bob\\'s'); if(n) vxAction({action:'renameBookmarkFolder', "
                   "folderId:'11111111-0000-4000-8000-000000000000', name:n})\">Rename</button></div></div>",
                   "<strong>Tie</strong><small>0 bookmark(s)</small>", "<strong>Later</strong><small>1 bookmark(s)</small>"});
}

TEST(BookmarksPage, EmptyStatesAndHeaderButtons) {
    const std::string html = pages::bookmarksPage(makeContext(InternalPageRoute::bookmarks));
    expectInOrder(html,
                  {"<title>Bookmarks</title>", "<div class=\"page\">", "<div class=\"row-between\">",
                   "<h1>Bookmarks</h1>", "<p class=\"desc\">Your saved pages</p>",
                   "<div class=\"btn-row\" style=\"margin:0\"><button class=\"btn btn-primary\" "
                   "onclick=\"vxAction({action:'showNewBookmark'})\">New Bookmark</button><button class=\"btn "
                   "btn-secondary\" onclick=\"var n=prompt('Folder name'); if(n) "
                   "vxAction({action:'createBookmarkFolder', name:n})\">New Folder</button></div>",
                   "<div class=\"card\"><h2>Folders</h2><p class=\"desc\">No folders yet.</p></div>",
                   "<div class=\"card\"><div class=\"empty\">No bookmarks yet. Use ★ in the toolbar or New Bookmark "
                   "below.</div></div>"});
}

// ---- Downloads ----

TEST(DownloadsPage, RowsShowSourceAndSizeWithoutButtons) {
    InternalPageContext context = makeContext(InternalPageRoute::downloads);
    context.profileData.downloads = {
        DownloadItem{.fileName = "report.pdf", .sourceURL = "https://files.example/report.pdf", .fileSize = 1500},
        DownloadItem{.fileName = "big.iso", .sourceURL = "https://files.example/big.iso", .fileSize = 2300000000},
        DownloadItem{.fileName = "unknown.bin", .sourceURL = "https://files.example/unknown.bin"},
        DownloadItem{.fileName = "odd.bin", .sourceURL = "https://files.example/odd.bin", .fileSize = -5},
    };
    const std::string html = pages::downloadsPage(context);
    expectInOrder(html, {"<div class=\"list-item\"><div class=\"meta\"><strong>report.pdf</strong>"
                         "<small>https://files.example/report.pdf · 1.5\u00a0kB</small></div></div>",
                         "<strong>big.iso</strong><small>https://files.example/big.iso · 2.3\u00a0GB</small>",
                         "<strong>unknown.bin</strong><small>https://files.example/unknown.bin · —</small>",
                         "<strong>odd.bin</strong><small>https://files.example/odd.bin · —</small>"});
    EXPECT_EQ(occurrences(html, "<button"), 1u);  // only Clear list
}

TEST(DownloadsPage, EmptyListAndClearButton) {
    const std::string html = pages::downloadsPage(makeContext(InternalPageRoute::downloads));
    expectInOrder(html, {"<title>Downloads</title>", "<div class=\"row-between\">", "<h1>Downloads</h1>",
                         "<p class=\"desc\">Files downloaded in Quorelle</p>",
                         "<button class=\"btn btn-danger\" onclick=\"if(confirm('Clear list?')) "
                         "vxAction({action:'clearDownloads'})\">Clear list</button></div>",
                         "<div class=\"card\"><div class=\"empty\">No downloads yet</div></div>"});
}

// ---- Hostile data ----

// The values of the single-quoted strings of a script, decoded; nothing when
// a string is left open or holds a raw line break.
std::optional<std::vector<std::string>> scriptStrings(std::string_view code) {
    std::vector<std::string> strings;
    for (std::size_t i = code.find('\''); i != std::string_view::npos; i = code.find('\'', i + 1)) {
        std::string value;
        for (++i; i < code.size() && code[i] != '\''; ++i) {
            if (code[i] == '\n' || code[i] == '\r' || code.substr(i, 3) == "\u2028" || code.substr(i, 3) == "\u2029")
                return std::nullopt;
            if (code[i] != '\\') {
                value += code[i];
            } else if (code.substr(i + 1, 1) == "n") {
                value += '\n', ++i;
            } else if (code.substr(i + 1, 1) == "r") {
                value += '\r', ++i;
            } else if (code.substr(i + 1, 3) == "x3C") {
                value += '<', i += 3;
            } else if (code.substr(i + 1, 5) == "u2028" || code.substr(i + 1, 5) == "u2029") {
                value += code[i + 5] == '8' ? "\u2028" : "\u2029", i += 5;
            } else if (i + 1 < code.size()) {
                value += code[++i];
            }
        }
        if (i >= code.size()) return std::nullopt;
        strings.push_back(value);
    }
    return strings;
}

const std::vector<InternalPageRoute>& listRoutes() {
    static const std::vector<InternalPageRoute> routes = {InternalPageRoute::settings, InternalPageRoute::history,
                                                          InternalPageRoute::bookmarks, InternalPageRoute::downloads};
    return routes;
}

std::string render(const InternalPageContext& context) {
    switch (context.route.value()) {
        case InternalPageRoute::settings: return pages::settingsPage(context);
        case InternalPageRoute::history: return pages::historyPage(context);
        case InternalPageRoute::bookmarks: return pages::bookmarksPage(context);
        default: return pages::downloadsPage(context);
    }
}

TEST(InternalListPages, HostileDataNeverLeavesItsContext) {
    for (InternalPageRoute route : listRoutes()) {
        SCOPED_TRACE(std::string(route.rawValue()));
        EXPECT_THAT(hostile::problems(render(hostile::hostileContext(route)), render(hostile::plainContext(route))),
                    ::testing::IsEmpty());
    }
}

// Hostile names and addresses reach the actions whole (neither cut short nor
// escaped twice) and are shown as the same text.
TEST(InternalListPages, HostileValuesArriveWholeInActionsAndText) {
    InternalPageContext context = makeContext(InternalPageRoute::bookmarks);
    for (const std::string& payload : hostile::payloads()) {
        const BookmarkFolder folder{.name = payload};
        context.profileData.bookmarkFolders.push_back(folder);
        context.profileData.bookmarks.push_back(Bookmark{.title = payload, .url = payload, .folderID = folder.id});
        context.profileData.history.push_back(HistoryItem{.title = payload, .url = payload});
    }
    context.route = InternalPageRoute::history;
    for (const std::string& html : {pages::bookmarksPage(context), pages::historyPage(context)}) {
        std::multiset<std::string> strings;
        for (const auto& [tag, attributes] : hostile::parse(html).elements) {
            for (const auto& attribute : attributes) {
                if (attribute.name != "onclick") continue;
                const auto values = scriptStrings(attribute.value);
                ASSERT_TRUE(values) << attribute.value;
                strings.insert(values->begin(), values->end());
            }
        }
        for (const std::string& payload : hostile::payloads()) {
            EXPECT_GE(strings.count(payload), 1u) << payload;
            EXPECT_NE(html.find("<strong>" + InternalHTMLStyles::escapeHTML(payload) + "</strong>"), std::string::npos);
        }
    }
}

TEST(InternalListPages, RowIconsDrawOnlyWebAndImageAddresses) {
    InternalPageContext context = makeContext(InternalPageRoute::bookmarks);
    for (const char* icon : {"javascript:alert(1)", " JavaScript:alert(1)", "java\tscript:alert(1)",
                             "file:///etc/passwd", "", "data:text/html,<script>alert(1)</script>"}) {
        context.profileData.bookmarks = {Bookmark{.title = "T", .url = "https://a.example/", .faviconURL = icon}};
        EXPECT_NE(pages::bookmarksPage(context).find("<img src=\"" + InternalHTMLStyles::internalFaviconHref()),
                  std::string::npos)
            << icon;
    }
    context.profileData.bookmarks = {
        Bookmark{.title = "T", .url = "https://a.example/", .customIconURL = "data:image/png;base64,AAAA"}};
    EXPECT_NE(pages::bookmarksPage(context).find("<img src=\"data:image/png;base64,AAAA\""), std::string::npos);
}

}  // namespace
}  // namespace quorelle
