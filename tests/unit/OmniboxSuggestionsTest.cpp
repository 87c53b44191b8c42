#include "state/OmniboxSuggestions.h"

#include "support/StateTestSupport.h"

#include <initializer_list>
#include <utility>

namespace quorelle::testing {
namespace {

using List = std::vector<std::string>;
using Entry = std::pair<std::string, std::string>;  // title, address

const std::string google = "https://www.google.com/search?q=";

ProfileData profileWith(std::initializer_list<Entry> history, std::initializer_list<Entry> bookmarks = {}) {
    ProfileData data = ProfileData::empty();
    for (const auto& [title, url] : history) data.history.push_back(HistoryItem{.title = title, .url = url});
    for (const auto& [title, url] : bookmarks) data.bookmarks.push_back(Bookmark{.title = title, .url = url});
    return data;
}

List suggest(std::string_view text, const ProfileData& data = ProfileData::empty()) {
    return OmniboxSuggestions::suggestions(text, data);
}

List allInternalAddresses() {
    List out;
    for (auto route : InternalPageRoute::allCases()) out.push_back(route.vxURL());
    return out;
}

List plus(List list, const std::string& last) {
    list.push_back(last);
    return list;
}

TEST(OmniboxSuggestionsTest, BlankTextSuggestsNothing) {
    const auto data = profileWith({{"Anything", "https://a.example/"}}, {{"Anything", "https://b.example/"}});
    EXPECT_TRUE(suggest("", data).empty());
    EXPECT_TRUE(suggest("   ", data).empty());
    EXPECT_TRUE(suggest("\t\n \u00a0", data).empty());
}

TEST(OmniboxSuggestionsTest, SearchRowEncodesTheTextAsTypedWithTheProfilesEngine) {
    EXPECT_EQ(suggest("AT&T c++"), List{google + "AT%26T%20c%2B%2B"});
    // Neither lower-cased nor trimmed, although matching is.
    EXPECT_EQ(suggest(" Quorelle "), List{google + "%20Quorelle%20"});

    ProfileData duck = ProfileData::empty();
    duck.settings.selectedSearchEngineID = "duckduckgo";
    EXPECT_EQ(suggest("AT&T c++", duck), List{"https://duckduckgo.com/?q=AT%26T%20c%2B%2B"});

    ProfileData broken = ProfileData::empty();
    broken.settings.selectedSearchEngineID = std::string(BrowserSettings::customSearchEngineID);
    broken.settings.customSearchEngineURL = "not an address %s";
    EXPECT_TRUE(suggest("cats", broken).empty());
}

TEST(OmniboxSuggestionsTest, InternalPagesOnlyOnceTheTextStartsLikeTheScheme) {
    const List all = allInternalAddresses();
    ASSERT_EQ(all.size(), 24u);
    EXPECT_EQ(suggest("v"), plus(all, google + "v"));
    EXPECT_EQ(suggest("vx"), plus(all, google + "vx"));
    EXPECT_EQ(suggest("VX"), plus(all, google + "VX"));
    EXPECT_EQ(suggest("vx:"), all);  // no search row for the scheme
    const List s{"vx://settings", "vx://sessions", "vx://security", "vx://shortcuts", "vx://sync"};
    EXPECT_EQ(suggest("vx://s"), s);
    EXPECT_EQ(suggest("  VX://S  "), s);
    EXPECT_EQ(suggest("VX://TAB-G"), List{"vx://tab-groups"});
    // A page's name without the scheme is just a word.
    EXPECT_EQ(suggest("Settings"), List{google + "Settings"});
    EXPECT_EQ(suggest("x://settings"), List{google + "x%3A%2F%2Fsettings"});
}

TEST(OmniboxSuggestionsTest, HistoryMatchesTitleOrAddressNewestFirstFourAtMost) {
    const auto data = profileWith({{"Match one", "https://1.example/"},
                                   {"Other", "https://other.example/"},
                                   {"Two", "https://match.example/2"},
                                   {"MATCH three", "https://3.example/"},
                                   {"match four", "https://4.example/"},
                                   {"match five", "https://5.example/"}});
    EXPECT_EQ(suggest("match", data), (List{"https://1.example/", "https://match.example/2", "https://3.example/",
                                           "https://4.example/", google + "match"}));
}

TEST(OmniboxSuggestionsTest, BookmarksMatchOnTheirTitleOnlyFourAtMost) {
    const auto data = profileWith({}, {{"Docs", "https://wiki.example/a"},
                                       {"Wiki home", "https://w.example/"},
                                       {"WIKI two", "https://w.example/2"},
                                       {"wiki three", "https://w.example/3"},
                                       {"the wiki", "https://w.example/4"},
                                       {"wiki six", "https://w.example/6"}});
    EXPECT_EQ(suggest("wiki", data), (List{"https://w.example/", "https://w.example/2", "https://w.example/3",
                                          "https://w.example/4", google + "wiki"}));
}

TEST(OmniboxSuggestionsTest, EachAddressOnceAndEmptyAddressesNever) {
    const auto data = profileWith({{"Rust", "https://rust.example/"}, {"Rust again", "https://rust.example/"}},
                                  {{"Rust", "https://rust.example/"}, {"Rust nothing", ""}});
    EXPECT_EQ(suggest("rust", data), (List{"https://rust.example/", google + "rust"}));

    // An entry without an address still uses up one of the four places.
    const auto blanks = profileWith(
        {{"k", ""}, {"k", ""}, {"k", ""}, {"k", "https://k4.example/"}, {"k", "https://k5.example/"}});
    EXPECT_EQ(suggest("k", blanks), (List{"https://k4.example/", google + "k"}));
}

TEST(OmniboxSuggestionsTest, MatchingFollowsFullUnicodeLowerCasing) {
    const auto data = profileWith({{"ÄRZTE IN MÜNCHEN", "https://aerzte.example/"},
                                   {"Absolute zero is 0 \u212A", "https://kelvin.example/"},
                                   {"Plain", "https://PLAIN.example/Path"}});
    EXPECT_EQ(suggest("ärzte", data), (List{"https://aerzte.example/", google + "%C3%A4rzte"}));
    EXPECT_EQ(suggest("Ärzte", data).front(), "https://aerzte.example/");
    EXPECT_EQ(suggest("0 k", data).front(), "https://kelvin.example/");  // KELVIN SIGN lower-cases to k
    EXPECT_EQ(suggest("plain.example/path", data).front(), "https://PLAIN.example/Path");
}

// Typing into the field, one keystroke at a time, with the window's state.
class OmniboxSuggestionsTypingTest : public StateTest {
protected:
    void SetUp() override {
        state = makeState();
        drain();
        state->profileData.modify([](ProfileData& d) {
            d.history = profileWith({{"GitHub", "https://github.com/"},
                                     {"Google", "https://www.google.com/"},
                                     {"News", "https://news.example/"},
                                     {"Gitea", "https://gitea.io/"},
                                     {"Digits", "https://digits.example/"},
                                     {"Docs", "https://docs.example/git"}})
                            .history;
            d.bookmarks = profileWith({}, {{"Git book", "https://git-scm.com/book"},
                                           {"Groceries", "https://shop.example/"},
                                           {"GitHub", "https://github.com/"}})
                              .bookmarks;
        });
        state->beginOmniboxEditing();
    }
    List typed(const std::string& text) {
        state->omniboxText.set(text);
        state->showOmniboxSuggestions.set(!text.empty());
        return OmniboxSuggestions::suggestions(*state);
    }
    std::shared_ptr<AppState> state;
};

TEST_F(OmniboxSuggestionsTypingTest, EachKeystrokeRecomputesTheList) {
    EXPECT_EQ(typed("g"), (List{"https://github.com/", "https://www.google.com/", "https://gitea.io/",
                                "https://digits.example/", "https://git-scm.com/book", "https://shop.example/",
                                google + "g"}));
    EXPECT_EQ(typed("gi"), (List{"https://github.com/", "https://gitea.io/", "https://digits.example/",
                                 "https://docs.example/git", "https://git-scm.com/book", google + "gi"}));
    EXPECT_EQ(typed("git"), (List{"https://github.com/", "https://gitea.io/", "https://digits.example/",
                                  "https://docs.example/git", "https://git-scm.com/book", google + "git"}));
    EXPECT_EQ(typed("gith"), (List{"https://github.com/", google + "gith"}));
    // Matching ignores case; the search row keeps the capitals.
    EXPECT_EQ(typed("GIT"), (List{"https://github.com/", "https://gitea.io/", "https://digits.example/",
                                  "https://docs.example/git", "https://git-scm.com/book", google + "GIT"}));
    EXPECT_TRUE(typed("").empty());
}

TEST_F(OmniboxSuggestionsTypingTest, RowsShowOnlyWhileEditingFocusedAndSwitchedOnEightAtMost) {
    typed("v");  // 24 internal addresses and a search row
    const List all = allInternalAddresses();
    EXPECT_EQ(OmniboxSuggestions::visibleRows(*state, true), List(all.begin(), all.begin() + 8));
    EXPECT_TRUE(OmniboxSuggestions::visibleRows(*state, false).empty());

    state->showOmniboxSuggestions.set(false);
    EXPECT_TRUE(OmniboxSuggestions::visibleRows(*state, true).empty());

    typed("git");
    EXPECT_EQ(OmniboxSuggestions::visibleRows(*state, true).size(), 6u);
    state->handleOmniboxSubmit("git");
    drain();
    state->omniboxText.set("git");  // the same text again, after the submit
    EXPECT_TRUE(OmniboxSuggestions::visibleRows(*state, true).empty());
}

}  // namespace
}  // namespace quorelle::testing
