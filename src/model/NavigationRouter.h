#pragma once

#include <string>
#include <string_view>

namespace quorelle {

struct SearchEngine;

// A thin string-in, string-out facade over the omnibox rules.
struct NavigationRouter {
    static std::string resolve(std::string_view input, const SearchEngine& searchEngine);
    static std::string normalizeVX(std::string_view address);
    // Parses with a scheme of http, https or file.
    static bool isValidWebURL(std::string_view address);
};

}  // namespace quorelle
