#pragma once

#include <optional>
#include <string>

namespace quorelle {

// A snapshot of one page as the inspector panel shows it. The empty value is
// what the panel shows before its first read.
struct InspectorPageContext {
    std::string url;                                 // "" when the view had no address
    std::string title;                               // "" when none or the read failed
    std::string documentHTML;                        // the document element's outer HTML
    std::optional<std::string> selectedElementHTML;  // the selection's parent element

    friend bool operator==(const InspectorPageContext&, const InspectorPageContext&) = default;
};

}  // namespace quorelle
