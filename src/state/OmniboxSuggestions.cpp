#include "state/OmniboxSuggestions.h"

#include "model/InternalPageRoute.h"
#include "model/ProfileData.h"
#include "model/Text.h"
#include "state/AppState.h"

#include <array>
#include <unordered_set>

namespace quorelle {

namespace {

// The internal scheme's name: its pages are offered only once the query
// starts with it (or with its first letter alone).
constexpr std::string_view schemeName = "vx";

// Whether `haystack`, lower-cased, contains `loweredQuery`. This runs for
// thousands of entries per keystroke, so plain ASCII text (nearly every
// address and most titles) is folded letter by letter into `scratch`, a
// buffer reused across entries, without asking for Unicode case tables;
// anything else takes the full Unicode rules.
bool lowercasedContains(std::string_view haystack, std::string_view loweredQuery, std::string& scratch) {
    scratch.resize(haystack.size());
    unsigned char seen = 0;
    for (std::size_t i = 0; i < haystack.size(); ++i) {
        const auto c = static_cast<unsigned char>(haystack[i]);
        seen |= c;
        scratch[i] = static_cast<char>(static_cast<unsigned>(c - 'A') < 26u ? c + ('a' - 'A') : c);
    }
    if (seen & 0x80) return text::contains(text::lowercased(haystack), loweredQuery);
    return text::contains(scratch, loweredQuery);
}

// Every internal address, lower-cased once.
const std::array<std::string, InternalPageRoute::count>& loweredInternalAddresses() {
    static const auto addresses = [] {
        std::array<std::string, InternalPageRoute::count> out;
        const auto& routes = InternalPageRoute::allCases();
        for (std::size_t i = 0; i < routes.size(); ++i) out[i] = text::lowercased(routes[i].vxURL());
        return out;
    }();
    return addresses;
}

void addInternalPages(std::string_view q, std::vector<std::string>& out) {
    const bool schemeLike = text::startsWith(q, schemeName) || q == schemeName.substr(0, 1);
    if (!schemeLike) return;
    const auto& routes = InternalPageRoute::allCases();
    const auto& lowered = loweredInternalAddresses();
    for (std::size_t i = 0; i < routes.size(); ++i)
        if (text::contains(lowered[i], q)) out.push_back(routes[i].vxURL());
}

// The addresses of the first `limit` records that match, in list order.
template <typename Record, typename Matches>
void addMatching(const std::vector<Record>& records, std::size_t limit, Matches matches,
                 std::vector<std::string>& out) {
    std::size_t kept = 0;
    for (const auto& record : records) {
        if (kept == limit) break;
        if (!matches(record)) continue;
        out.push_back(record.url);
        ++kept;
    }
}

void addHistory(std::string_view q, const std::vector<HistoryItem>& history, std::vector<std::string>& out) {
    std::string scratch;
    addMatching(history, OmniboxSuggestions::historyLimit, [&](const HistoryItem& item) {
        return lowercasedContains(item.title, q, scratch) || lowercasedContains(item.url, q, scratch);
    }, out);
}

// Bookmarks match on their title only.
void addBookmarks(std::string_view q, const std::vector<Bookmark>& bookmarks, std::vector<std::string>& out) {
    std::string scratch;
    addMatching(bookmarks, OmniboxSuggestions::bookmarkLimit,
                [&](const Bookmark& bookmark) { return lowercasedContains(bookmark.title, q, scratch); }, out);
}

// The search address is built from the text exactly as typed: neither
// lower-cased nor trimmed. An internal address gets none.
void addSearch(std::string_view q, std::string_view text, const BrowserSettings& settings,
               std::vector<std::string>& out) {
    if (text::startsWith(q, "vx:")) return;
    if (auto address = settings.resolvedSearchEngine().searchURL(text)) out.push_back(std::move(*address));
}

std::vector<std::string> distinctNonEmpty(const std::vector<std::string>& candidates) {
    std::vector<std::string> out;
    out.reserve(candidates.size());
    std::unordered_set<std::string_view> seen;  // views into `candidates`
    for (const auto& candidate : candidates) {
        if (candidate.empty() || !seen.insert(candidate).second) continue;
        out.push_back(candidate);
    }
    return out;
}

}  // namespace

std::vector<std::string> OmniboxSuggestions::suggestions(std::string_view text, const ProfileData& data) {
    const std::string q = text::trimmed(text::lowercased(text));
    if (q.empty()) return {};
    std::vector<std::string> candidates;
    candidates.reserve(InternalPageRoute::count + historyLimit + bookmarkLimit + 1);
    addInternalPages(q, candidates);
    addHistory(q, data.history, candidates);
    addBookmarks(q, data.bookmarks, candidates);
    addSearch(q, text, data.settings, candidates);
    return distinctNonEmpty(candidates);
}

std::vector<std::string> OmniboxSuggestions::suggestions(const AppState& state) {
    return suggestions(state.omniboxText.get(), state.profileData.get());
}

std::vector<std::string> OmniboxSuggestions::visibleRows(const AppState& state, bool isFocused) {
    if (!state.showOmniboxSuggestions.get() || !isFocused || !state.isEditingOmnibox.get()) return {};
    auto rows = suggestions(state);
    if (rows.size() > rowLimit) rows.resize(rowLimit);
    return rows;
}

}  // namespace quorelle
