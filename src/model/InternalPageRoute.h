#pragma once

#include "model/Json.h"

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

namespace quorelle {

// One of the browser's own pages, shown at "vx://" + raw name.
class InternalPageRoute {
public:
    enum Case : std::uint8_t {
        newtab,
        settings,
        history,
        bookmarks,
        downloads,
        profiles,
        sessions,
        permissions,
        privacy,
        security,
        performance,
        memory,
        themes,
        shortcuts,
        updates,
        feedback,
        tabGroups,
        passwords,
        about,
        flags,
        experiments,
        proxy,
        sync,
        extensions,
    };
    static constexpr std::size_t count = 24;

    constexpr InternalPageRoute(Case c = newtab) : case_(c) {}  // NOLINT: implicit by design
    constexpr Case value() const { return case_; }

    std::string_view rawValue() const;
    std::string_view id() const { return rawValue(); }
    std::string_view displayTitle() const;
    std::string vxURL() const;

    // Exact, case-sensitive match of a raw name; nothing is trimmed.
    static std::optional<InternalPageRoute> fromRawValue(std::string_view raw);
    // The page an address names, or nothing (see the .cpp for the rules).
    static std::optional<InternalPageRoute> from(std::string_view urlString);

    static const std::array<InternalPageRoute, count>& allCases();
    static const std::unordered_map<std::string, InternalPageRoute>& routeMap();
    static const std::set<InternalPageRoute>& reservedHidden();

    friend constexpr bool operator==(InternalPageRoute a, InternalPageRoute b) { return a.case_ == b.case_; }
    friend constexpr bool operator<(InternalPageRoute a, InternalPageRoute b) { return a.case_ < b.case_; }

private:
    Case case_;
};

void readJson(const Json& j, InternalPageRoute& out);
Json toJson(const InternalPageRoute& route);

}  // namespace quorelle
