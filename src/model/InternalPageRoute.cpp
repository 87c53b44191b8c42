#include "model/InternalPageRoute.h"

#include "model/Text.h"

namespace quorelle {

std::string InternalPageRoute::vxURL() const { return std::string(urlPrefix) + std::string(rawValue()); }

std::optional<InternalPageRoute> InternalPageRoute::from(std::string_view urlString) {
    // Lower-case first, then trim; a query or fragment is not split off, so it
    // makes the lookup fail.
    const std::string address = text::trimmed(text::lowercased(urlString));
    if (!text::startsWith(address, urlPrefix)) return std::nullopt;
    std::string_view first = firstComponent(std::string_view(address).substr(urlPrefix.size()));
    if (first.empty() || first == "internal") return InternalPageRoute(newtab);
    return fromRawValue(first);
}

std::string_view InternalPageRoute::firstComponent(std::string_view afterPrefix) {
    std::size_t begin = std::string_view::npos;
    for (std::size_t pos = 0; pos < afterPrefix.size();) {
        char32_t c = 0;
        std::size_t length = text::decodeUtf8At(afterPrefix, pos, c);
        // A byte that is not UTF-8 belongs to the component.
        const bool ends = length > 0 && (c == '/' || text::isWhitespaceOrNewline(c));
        if (ends && begin != std::string_view::npos) return afterPrefix.substr(begin, pos - begin);
        if (!ends && begin == std::string_view::npos) begin = pos;
        pos += length == 0 ? 1 : length;
    }
    return begin == std::string_view::npos ? std::string_view() : afterPrefix.substr(begin);
}

const std::unordered_map<std::string, InternalPageRoute>& InternalPageRoute::routeMap() {
    static const auto map = [] {
        std::unordered_map<std::string, InternalPageRoute> m;
        for (auto route : allCases()) m.emplace(std::string(route.rawValue()), route);
        return m;
    }();
    return map;
}

const std::set<InternalPageRoute>& InternalPageRoute::reservedHidden() {
    static const std::set<InternalPageRoute> hidden{sync, extensions};
    return hidden;
}

}  // namespace quorelle
