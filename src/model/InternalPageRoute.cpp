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
    // Only "/" separates components: white space inside the address is part
    // of the component, so an address with a blank in its name names no page.
    while (!afterPrefix.empty()) {
        const std::size_t cut = afterPrefix.find('/');
        const std::string_view piece = afterPrefix.substr(0, cut);
        if (!piece.empty()) return piece;
        if (cut == std::string_view::npos) break;
        afterPrefix.remove_prefix(cut + 1);
    }
    return {};
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
