#include "model/Text.h"

#include "model/GLibPtr.h"

#include <algorithm>

namespace quorelle::text {
namespace {

bool isASCII(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

int asciiLower(int c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }
int asciiUpper(int c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }

// Byte by byte: for ASCII, and for text that is not valid UTF-8.
std::string mapBytes(std::string_view s, int (*asciiFn)(int)) {
    std::string out(s);
    for (auto& c : out) c = static_cast<char>(asciiFn(static_cast<unsigned char>(c)));
    return out;
}

// Plain ASCII (most addresses and many titles) maps the same either way,
// without the library's tables and allocation.
template <typename Fn>
std::string mapCase(std::string_view s, Fn glibFn, int (*asciiFn)(int)) {
    if (isASCII(s) || !isValidUtf8(s)) return mapBytes(s, asciiFn);
    GCharPtr mapped(glibFn(s.data(), static_cast<gssize>(s.size())));
    return mapped ? std::string(mapped.get()) : std::string();
}

// Where the white space and line breaks at the start of `s` end.
std::size_t leadingSpaceEnd(std::string_view s) {
    std::size_t begin = 0;
    while (begin < s.size()) {
        char32_t c = 0;
        std::size_t len = decodeUtf8At(s, begin, c);
        if (len == 0 || !isWhitespaceOrNewline(c)) break;
        begin += len;
    }
    return begin;
}

constexpr gunichar zeroWidthJoiner = 0x200D;

bool isRegionalIndicator(gunichar c) { return c >= 0x1F1E6 && c <= 0x1F1FF; }

bool isEmojiModifier(gunichar c) { return c >= 0x1F3FB && c <= 0x1F3FF; }

// Emoji tag characters (used by sub-national flags).
bool isTag(gunichar c) { return c >= 0xE0020 && c <= 0xE007F; }

bool extendsCharacter(gunichar c) {
    return g_unichar_ismark(c) || c == zeroWidthJoiner || isEmojiModifier(c) || isTag(c);
}

}  // namespace

bool isValidUtf8(std::string_view s) { return g_utf8_validate_len(s.data(), s.size(), nullptr); }

std::size_t decodeUtf8At(std::string_view s, std::size_t pos, char32_t& out) {
    const char* p = s.data() + pos;
    gunichar c = g_utf8_get_char_validated(p, static_cast<gssize>(s.size() - pos));
    if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) return 0;
    out = c;
    return static_cast<std::size_t>(g_utf8_next_char(p) - p);
}

std::string lowercased(std::string_view s) { return mapCase(s, g_utf8_strdown, asciiLower); }

std::string uppercased(std::string_view s) { return mapCase(s, g_utf8_strup, asciiUpper); }

bool isWhitespaceOrNewline(char32_t c) {
    if ((c >= 0x09 && c <= 0x0d) || c == 0x85) return true;
    switch (g_unichar_type(static_cast<gunichar>(c))) {
        case G_UNICODE_SPACE_SEPARATOR:
        case G_UNICODE_LINE_SEPARATOR:
        case G_UNICODE_PARAGRAPH_SEPARATOR:
            return true;
        default:
            return false;
    }
}

std::string trimmed(std::string_view s) {
    const std::size_t begin = leadingSpaceEnd(s);
    // Walk forward, remembering where the last non-space character ended.
    std::size_t end = begin;
    for (std::size_t pos = begin; pos < s.size();) {
        char32_t c = 0;
        std::size_t len = decodeUtf8At(s, pos, c);
        if (len == 0) {
            end = ++pos;
            continue;
        }
        pos += len;
        if (!isWhitespaceOrNewline(c)) end = pos;
    }
    return std::string(s.substr(begin, end - begin));
}

bool startsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool trimmedStartsWithIgnoringCase(std::string_view s, std::string_view lowerPrefix) {
    const std::size_t begin = leadingSpaceEnd(s);
    // As many code points as the prefix has bytes: never fewer than it needs.
    std::size_t end = begin;
    for (std::size_t points = 0; end < s.size() && points < lowerPrefix.size(); ++points) {
        char32_t c = 0;
        std::size_t len = decodeUtf8At(s, end, c);
        end += len == 0 ? 1 : len;
    }
    const std::string_view head = s.substr(begin, end - begin);
    // Text that is not valid UTF-8 anywhere is cased byte-wise, as lowercased() does.
    return startsWith(isValidUtf8(s) ? lowercased(head) : mapBytes(head, asciiLower), lowerPrefix);
}

bool endsWith(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

bool contains(std::string_view s, std::string_view part) { return s.find(part) != std::string_view::npos; }

std::string firstCharacter(std::string_view s) {
    if (s.empty()) return {};
    char32_t first = 0;
    std::size_t end = decodeUtf8At(s, 0, first);
    if (end == 0) return std::string(s.substr(0, 1));
    // The character goes on through combining marks (variation selectors
    // among them), skin-tone modifiers, anything joined by a zero-width
    // joiner, and the second half of a flag.
    bool joinNext = false;
    bool pairRegional = isRegionalIndicator(first);
    while (end < s.size()) {
        char32_t c = 0;
        std::size_t len = decodeUtf8At(s, end, c);
        if (len == 0) break;
        const bool regionalPair = pairRegional && isRegionalIndicator(c);
        if (!joinNext && !regionalPair && !extendsCharacter(c)) break;
        joinNext = c == zeroWidthJoiner;
        pairRegional = false;
        end += len;
    }
    return std::string(s.substr(0, end));
}

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string replaceAll(std::string_view s, std::string_view from, std::string_view to) {
    std::string out;
    std::size_t pos = 0;
    for (std::size_t hit; (hit = s.find(from, pos)) != std::string_view::npos; pos = hit + from.size()) {
        out.append(s.substr(pos, hit - pos));
        out.append(to);
    }
    out.append(s.substr(pos));
    return out;
}

}  // namespace quorelle::text
