#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Unicode-aware string rules shared by every layer. Text is UTF-8; invalid
// input never crashes, it is handled byte-wise.
namespace quorelle::text {

// Whether `s` is UTF-8 throughout; a NUL byte counts as invalid.
bool isValidUtf8(std::string_view s);

// Decodes the code point that starts at byte `pos` into `out` and returns its
// length in bytes, or 0 when the bytes there are not valid UTF-8.
std::size_t decodeUtf8At(std::string_view s, std::size_t pos, char32_t& out);

// Full Unicode lower/upper casing (so U+212A KELVIN SIGN becomes "k").
std::string lowercased(std::string_view s);
std::string uppercased(std::string_view s);

// Unicode separators (Zs, Zl, Zp), U+0009-U+000D and U+0085.
bool isWhitespaceOrNewline(char32_t c);

// Removes white space and line breaks from both ends.
std::string trimmed(std::string_view s);

bool startsWith(std::string_view s, std::string_view prefix);
// startsWith(lowercased(trimmed(s)), lowerPrefix), for a prefix in lower case
// that does not end in white space, casing only as much of `s` as the
// prefix needs (each character lower-cases to at least one).
bool trimmedStartsWithIgnoringCase(std::string_view s, std::string_view lowerPrefix);
bool endsWith(std::string_view s, std::string_view suffix);
bool contains(std::string_view s, std::string_view part);

// The first user-perceived character as UTF-8: its first code point with
// the combining marks, modifiers and joined code points that belong to it
// (a decomposed accented letter, an emoji sequence, a flag), or "" for empty
// text.
std::string firstCharacter(std::string_view s);

// The value of an ASCII hex digit in either case, or -1 for any other byte.
int hexDigitValue(char c);

// Replaces every occurrence of `from` (non-empty) by `to`, left to right.
std::string replaceAll(std::string_view s, std::string_view from, std::string_view to);

}  // namespace quorelle::text
