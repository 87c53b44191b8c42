#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

// The favicon lookup the browser state uses for bookmarks and shortcuts.
// Main thread only.
class IFavicons {
public:
    using Completion = std::function<void(std::optional<std::string>)>;

    virtual ~IFavicons() = default;

    // The favicon address cached for the page's host (the logo reference for
    // an internal page), without network access.
    virtual std::optional<std::string> cached(std::string_view pageURL) const = 0;
    // Calls `completion` exactly once: at once with a cached value (or nothing
    // for an address without a usable host), otherwise later on the main queue.
    virtual void fetchFromNetwork(const std::string& pageURL, Completion completion) = 0;
};

}  // namespace quorelle
