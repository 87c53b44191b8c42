#include "model/InternalPageRoute.h"

#include "model/Text.h"

namespace quorelle {

std::string InternalPageRoute::vxURL() const { return std::string(urlPrefix) + std::string(rawValue()); }

std::optional<InternalPageRoute> InternalPageRoute::from(std::string_view urlString) {
    // Lower-case first, then trim; a query or fragment is not split off, so it
    // makes the lookup fail.
    const std::string address = text::trimmed(text::lowercased(urlString));
    if (!text::startsWith(address, urlPrefix)) return std::nullopt;
    std::string_view first = text::firstNonEmptyPiece(std::string_view(address).substr(urlPrefix.size()), '/');
    if (first.empty() || first == "internal") return InternalPageRoute(newtab);
    return fromRawValue(first);
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
