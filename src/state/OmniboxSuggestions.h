#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorelle {

class AppState;
struct ProfileData;

// The list the drop-down under the omnibox shows while the user types:
// matching internal page addresses (only once the text starts like the
// internal scheme), the newest matching history entries, matching bookmarks
// and the search address for the text as typed.
//
// Matching is plain substring containment on lower-cased text, with no
// ranking. Each distinct non-empty address appears once, in the order it was
// gathered. The list is worked out afresh on every call; nothing is cached.
class OmniboxSuggestions {
public:
    OmniboxSuggestions() = delete;

    static constexpr std::size_t historyLimit = 4;
    static constexpr std::size_t bookmarkLimit = 4;
    // The card never shows more rows than this.
    static constexpr std::size_t rowLimit = 8;

    // Suggestions for `text` from one profile's history, bookmarks and
    // search engine. Blank text gives none.
    static std::vector<std::string> suggestions(std::string_view text, const ProfileData& data);
    // Suggestions for the state's current omnibox text.
    static std::vector<std::string> suggestions(const AppState& state);

    // What the card shows: nothing unless suggestions are switched on, the
    // state is editing the omnibox and the field is focused; otherwise the
    // first rowLimit suggestions.
    static std::vector<std::string> visibleRows(const AppState& state, bool isFocused);
};

}  // namespace quorelle
