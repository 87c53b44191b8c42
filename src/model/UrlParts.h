#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

// The pieces of an address that the browser's rules look at. parse() accepts
// what the platform's address parser accepts (absolute addresses only, with
// escapes that decode to UTF-8), and of that no blanks, control characters
// or unsafe ASCII punctuation.
struct UrlParts {
    std::optional<std::string> scheme;  // as written
    std::optional<std::string> host;    // as written, without brackets or port

    static std::optional<UrlParts> parse(std::string_view text);

    // A scheme of http, https or file, in any letter case.
    bool hasWebScheme() const;
};

}  // namespace quorelle
