#pragma once

#include <cstdint>
#include <string_view>

namespace quorelle {

class BrowserTab;

// The symbol shown before the address: what kind of page the tab shows.
class OmniboxLeadingIcon {
public:
    enum Case : std::uint8_t {
        search,        // no tab, or an address of no known kind
        secure,        // an https page
        insecure,      // a plain http page
        internalPage,  // an internal page other than the new-tab page
        newTab,        // the new-tab page
    };

    constexpr OmniboxLeadingIcon(Case c = search) : case_(c) {}  // NOLINT: implicit by design
    constexpr Case value() const { return case_; }

    // The symbol name of the original symbol set; search and newTab share one.
    std::string_view systemName() const;
    // The symbolic icon-theme name drawn by the window.
    std::string_view iconName() const;

    // Reads only the tab's internalRoute, isInternal and urlString; a null
    // tab gives search. The scheme test looks only at the address prefix.
    static OmniboxLeadingIcon forTab(const BrowserTab* tab);

    friend constexpr bool operator==(OmniboxLeadingIcon a, OmniboxLeadingIcon b) { return a.case_ == b.case_; }

private:
    Case case_;
};

}  // namespace quorelle
