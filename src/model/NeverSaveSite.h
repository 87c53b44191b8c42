#pragma once

#include "model/Json.h"

#include <cstddef>
#include <functional>
#include <string>

namespace quorelle {

// A site whose logins are never offered for saving. The settings keep such
// sites as plain domain strings; this record is their typed form.
struct NeverSaveSite {
    std::string domain;

    friend bool operator==(const NeverSaveSite&, const NeverSaveSite&) = default;
};

void readJson(const Json& j, NeverSaveSite& out);
Json toJson(const NeverSaveSite& site);

}  // namespace quorelle

template <>
struct std::hash<quorelle::NeverSaveSite> {
    std::size_t operator()(const quorelle::NeverSaveSite& site) const noexcept {
        return std::hash<std::string>{}(site.domain);
    }
};
