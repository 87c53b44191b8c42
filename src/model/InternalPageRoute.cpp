#include "model/InternalPageRoute.h"

#include "model/JsonCodec.h"
#include "model/Text.h"

namespace quorelle {
namespace {

struct RouteInfo {
    std::string_view raw;
    std::string_view title;
};

constexpr std::array<RouteInfo, InternalPageRoute::count> kRoutes{{
    {"newtab", "New Tab"},
    {"settings", "Settings"},
    {"history", "History"},
    {"bookmarks", "Bookmarks"},
    {"downloads", "Downloads"},
    {"profiles", "Profiles"},
    {"sessions", "Sessions"},
    {"permissions", "Site Permissions"},
    {"privacy", "Privacy"},
    {"security", "Security"},
    {"performance", "Performance"},
    {"memory", "Memory"},
    {"themes", "Themes"},
    {"shortcuts", "Shortcuts"},
    {"updates", "Updates"},
    {"feedback", "Feedback"},
    {"tab-groups", "Tab Groups"},
    {"passwords", "Passwords"},
    {"about", "About Quorelle"},
    {"flags", "Flags"},
    {"experiments", "Developer Mode"},
    {"proxy", "Proxy Add-on"},
    {"sync", "Sync"},
    {"extensions", "Extensions"},
}};

constexpr std::string_view kScheme = "vx://";

}  // namespace

std::string_view InternalPageRoute::rawValue() const { return kRoutes[case_].raw; }

std::string_view InternalPageRoute::displayTitle() const { return kRoutes[case_].title; }

std::string InternalPageRoute::vxURL() const { return std::string(kScheme) + std::string(rawValue()); }

std::optional<InternalPageRoute> InternalPageRoute::fromRawValue(std::string_view raw) {
    for (std::size_t i = 0; i < kRoutes.size(); ++i)
        if (kRoutes[i].raw == raw) return InternalPageRoute(static_cast<Case>(i));
    return std::nullopt;
}

std::optional<InternalPageRoute> InternalPageRoute::from(std::string_view urlString) {
    // Lower-case first, then trim; a query or fragment is not split off, so it
    // makes the lookup fail.
    const std::string address = text::trimmed(text::lowercased(urlString));
    if (!text::startsWith(address, kScheme)) return std::nullopt;
    std::string_view first = text::firstNonEmptyPiece(std::string_view(address).substr(kScheme.size()), '/');
    if (first.empty() || first == "internal") return InternalPageRoute(newtab);
    return fromRawValue(first);
}

const std::array<InternalPageRoute, InternalPageRoute::count>& InternalPageRoute::allCases() {
    static const auto all = [] {
        std::array<InternalPageRoute, count> routes{};
        for (std::size_t i = 0; i < count; ++i) routes[i] = InternalPageRoute(static_cast<Case>(i));
        return routes;
    }();
    return all;
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

void readJson(const Json& j, InternalPageRoute& out) {
    if (!j.is_string()) throw JsonDecodeError("expected a route name");
    auto route = InternalPageRoute::fromRawValue(j.get_ref<const std::string&>());
    if (!route) throw JsonDecodeError("unknown route \"" + j.get<std::string>() + "\"");
    out = *route;
}

Json toJson(const InternalPageRoute& route) { return std::string(route.rawValue()); }

}  // namespace quorelle
