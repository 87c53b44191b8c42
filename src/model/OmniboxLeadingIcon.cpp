#include "model/OmniboxLeadingIcon.h"

#include "model/BrowserTab.h"
#include "model/Text.h"

namespace quorelle {

std::string_view OmniboxLeadingIcon::systemName() const {
    switch (case_) {
        case secure:
            return "lock.fill";
        case insecure:
            return "exclamationmark.triangle.fill";
        case internalPage:
            return "laptopcomputer";
        case search:
        case newTab:
            break;
    }
    return "magnifyingglass";
}

std::string_view OmniboxLeadingIcon::iconName() const {
    switch (case_) {
        case secure:
            return "channel-secure-symbolic";
        case insecure:
            return "dialog-warning-symbolic";
        case internalPage:
            return "computer-symbolic";
        case search:
        case newTab:
            break;
    }
    return "system-search-symbolic";
}

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
