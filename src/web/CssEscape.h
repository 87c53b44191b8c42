#pragma once

#include <string>
#include <string_view>

namespace quorelle {

// Escaping for text placed inside a quoted CSS string, such as the address
// in url('…'), in a <style> element: no HTML escaping applies there.
struct CssEscape {
    // Backslash-escapes \ ' and "; writes control characters, DEL, < and >
    // as CSS hex escapes ("\a " for a line feed), so the value can neither
    // end the string nor close the style element.
    static std::string quotedString(std::string_view text);
};

}  // namespace quorelle
