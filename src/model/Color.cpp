#include "model/Color.h"

#include "model/Text.h"

#include <glib.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace quorelle {
namespace {

// One decoded code point; bytes that are not valid UTF-8 stand alone with
// `valid` false.
struct CodePoint {
    gunichar value = 0;
    std::size_t begin = 0;
    std::size_t end = 0;
    bool valid = false;
};

std::vector<CodePoint> decode(std::string_view s) {
    std::vector<CodePoint> points;
    for (std::size_t pos = 0; pos < s.size();) {
        char32_t c = 0;
        const std::size_t len = text::decodeUtf8At(s, pos, c);
        points.push_back(len ? CodePoint{c, pos, pos + len, true} : CodePoint{0, pos, pos + 1, false});
        pos += len ? len : 1;
    }
    return points;
}

bool keptAtEdges(const CodePoint& cp) { return cp.valid && (g_unichar_isalnum(cp.value) || g_unichar_ismark(cp.value)); }

// The number of user-perceived characters: combining marks and anything
// joined by a zero-width joiner belong to the character before them.
std::size_t characterCount(const std::vector<CodePoint>& points, std::size_t first, std::size_t last) {
    constexpr gunichar zeroWidthJoiner = 0x200D;
    std::size_t count = 0;
    bool joinNext = false;
    for (std::size_t i = first; i < last; ++i) {
        const CodePoint& cp = points[i];
        bool extends = count > 0 && cp.valid && (g_unichar_ismark(cp.value) || cp.value == zeroWidthJoiner || joinNext);
        joinNext = cp.valid && cp.value == zeroWidthJoiner;
        if (!extends) ++count;
    }
    return count;
}

// An optional "0x" prefix, then the longest run of hex digits; 0 when none.
// Saturates instead of wrapping on overflow.
std::uint64_t scanHex(std::string_view s) {
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X') && text::hexDigitValue(s[2]) >= 0)
        s.remove_prefix(2);
    std::uint64_t number = 0;
    for (char c : s) {
        int digit = text::hexDigitValue(c);
        if (digit < 0) break;
        if (number > (UINT64_MAX >> 4)) return UINT64_MAX;
        number = (number << 4) | static_cast<std::uint64_t>(digit);
    }
    return number;
}

bool isAsciiHexDigit(char c) { return text::hexDigitValue(c) >= 0; }

}  // namespace

Color Color::fromHex(std::string_view hex) {
    const auto points = decode(hex);
    std::size_t first = 0;
    std::size_t last = points.size();
    while (first < last && !keptAtEdges(points[first])) ++first;
    while (last > first && !keptAtEdges(points[last - 1])) --last;
    if (characterCount(points, first, last) != 6) return Color{};

    std::string_view trimmed = hex.substr(points[first].begin, points[last - 1].end - points[first].begin);
    const std::uint64_t number = scanHex(trimmed);
    auto component = [number](int shift) { return static_cast<double>((number >> shift) & 0xFF) / 255.0; };
    return Color{component(16), component(8), component(0), 1.0};
}

double Color::relativeLuminance() const {
    const auto linear = [](double c) { return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
    return 0.2126 * linear(red) + 0.7152 * linear(green) + 0.0722 * linear(blue);
}

bool isValidHexColor(std::string_view value) {
    if (value.size() != 7 || value[0] != '#') return false;
    for (char c : value.substr(1))
        if (!isAsciiHexDigit(c)) return false;
    return true;
}

std::string validHexColorOr(std::string_view value, std::string_view fallback) {
    return std::string(isValidHexColor(value) ? value : fallback);
}

}  // namespace quorelle
