#pragma once

#include <string>
#include <string_view>

namespace quorelle {

// An opaque sRGB colour with components in 0...1. Colours are stored as text
// everywhere in the model; they become numbers only here, when drawn.
struct Color {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;

    // Never fails. Strips everything that is not a letter, digit or combining
    // mark from both ends, then reads a hexadecimal number (an optional "0x"
    // prefix, then the longest run of hex digits; 0 when there is none). Only
    // a trimmed text of exactly six characters gives a colour from that
    // number; every other length gives opaque black.
    static Color fromHex(std::string_view hex);

    // The relative luminance of WCAG: 0 for black to 1 for white.
    double relativeLuminance() const;

    friend bool operator==(const Color&, const Color&) = default;
};

// The only colour text the browser accepts from edits or emits into style
// sheets: "#" followed by exactly six hexadecimal digits (either case).
bool isValidHexColor(std::string_view value);

// `value` when it is a valid colour text, else `fallback`.
std::string validHexColorOr(std::string_view value, std::string_view fallback);

}  // namespace quorelle
