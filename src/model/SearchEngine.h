#pragma once

#include "model/Json.h"

#include <optional>
#include <string>
#include <vector>

namespace quorelle {

// A search engine: "%s" in the template stands for the encoded query.
struct SearchEngine {
    std::string id;
    std::string name;
    std::string urlTemplate;

    static const SearchEngine& google();
    static const SearchEngine& duckDuckGo();
    static const SearchEngine& bing();
    static const SearchEngine& yahoo();
    static const std::vector<SearchEngine>& builtIn();

    // The template with every "%s" replaced by the query, percent-encoded as a
    // query component (so "AT&T" searches "AT&T"). Nothing when the result is
    // not a valid address.
    std::optional<std::string> searchURL(std::string_view query) const;

    friend bool operator==(const SearchEngine&, const SearchEngine&) = default;
};

// Percent-encodes everything outside A-Z a-z 0-9 - . _ ~ (upper-case hex).
std::string percentEncodeQueryComponent(std::string_view text);

void readJson(const Json& j, SearchEngine& out);
Json toJson(const SearchEngine& engine);

}  // namespace quorelle
