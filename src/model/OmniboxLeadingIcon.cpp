#include "model/OmniboxLeadingIcon.h"

#include "model/BrowserTab.h"
#include "model/Text.h"

#include <array>

namespace quorelle {
namespace {

struct IconNames {
    std::string_view system;
    std::string_view icon;
};

constexpr IconNames kSearchNames{"magnifyingglass", "system-search-symbolic"};

// In the order of the cases.
constexpr std::array<IconNames, 5> kNames{{
    kSearchNames,
    {"lock.fill", "channel-secure-symbolic"},
    {"exclamationmark.triangle.fill", "dialog-warning-symbolic"},
    {"laptopcomputer", "computer-symbolic"},
    kSearchNames,
}};

}  // namespace

std::string_view OmniboxLeadingIcon::systemName() const { return kNames[case_].system; }

std::string_view OmniboxLeadingIcon::iconName() const { return kNames[case_].icon; }

OmniboxLeadingIcon OmniboxLeadingIcon::forTab(const BrowserTab* tab) {
    if (!tab) return search;
    const auto& route = tab->internalRoute.get();
    if (route && *route == InternalPageRoute::newtab) return newTab;
    if (tab->isInternal.get()) return internalPage;
    const std::string address = text::lowercased(tab->urlString.get());
    if (text::startsWith(address, "https://")) return secure;
    if (text::startsWith(address, "http://")) return insecure;
    return search;
}

}  // namespace quorelle
