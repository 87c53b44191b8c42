#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

// The pieces of an address that the browser's rules look at. parse() accepts
// what a strict URL parser accepts: absolute URLs and relative references,
// but no blanks, control characters, unsafe ASCII punctuation or bad
// percent-escapes.
struct UrlParts {
    std::optional<std::string> scheme;  // as written
    std::optional<std::string> host;    // as written, without brackets or port

    static std::optional<UrlParts> parse(std::string_view text);
};

}  // namespace quorelle
