#pragma once

// Reads an internal page back the way a browser would, so tests can check
// that user data stayed inside the context it was written into: tags and
// attributes (boolean ones too), entity-decoded text and attribute values,
// the single-quoted strings of every inline event handler, and the page's own
// <script> elements, whose content is skipped.

#include <gtest/gtest.h>

#include <cstddef>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorelle::testing::pagescan {

struct ScannedTag {
    std::string name;  // "/div" for a closing tag
    std::vector<std::pair<std::string, std::string>> attributes;  // decoded; "" for a boolean one
};

struct ScannedHandler {
    std::string skeleton;              // the code with every string literal emptied to ''
    std::vector<std::string> strings;  // the literals' decoded values
};

struct ScannedPage {
    std::vector<ScannedTag> tags;
    std::vector<std::string> texts;
    std::vector<ScannedHandler> handlers;
    std::size_t scriptElements = 0;
    std::string error;  // empty when everything read cleanly
};

inline std::string decodeEntities(std::string_view in) {
    std::string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const std::size_t end = in[i] == '&' ? in.find(';', i) : std::string_view::npos;
        const std::string_view name = end == std::string_view::npos ? "" : in.substr(i + 1, end - i - 1);
        const char* decoded = name == "amp" ? "&" : name == "lt" ? "<" : name == "gt" ? ">" : name == "quot" ? "\"" : nullptr;
        if (!decoded) {
            out += in[i];
            continue;
        }
        out += decoded;
        i = end;
    }
    return out;
}

// Splits handler code into its skeleton and its single-quoted strings.
inline bool scanHandler(std::string_view code, ScannedHandler& out, std::string& error) {
    for (std::size_t i = 0; i < code.size(); ++i) {
        if (code[i] != '\'') {
            out.skeleton += code[i];
            continue;
        }
        std::string value;
        bool closed = false;
        for (++i; i < code.size() && !closed; ++i) {
            const char c = code[i];
            if (c == '\'') {
                closed = true;
                --i;
            } else if (c == '\n' || c == '\r' || code.substr(i, 3) == "\u2028" || code.substr(i, 3) == "\u2029") {
                error = "line break inside a script string: " + std::string(code);
                return false;
            } else if (c != '\\') {
                value += c;
            } else if (++i < code.size()) {
                const char e = code[i];
                if (e == 'n') value += '\n';
                else if (e == 'r') value += '\r';
                else if (e == 'x' && i + 2 < code.size()) value += static_cast<char>(std::stoi(std::string(code.substr(i + 1, 2)), nullptr, 16)), i += 2;
                else if (e == 'u' && code.substr(i + 1, 4) == "2028") value += "\u2028", i += 4;
                else if (e == 'u' && code.substr(i + 1, 4) == "2029") value += "\u2029", i += 4;
                else value += e;
            }
        }
        if (!closed) {
            error = "unterminated script string: " + std::string(code);
            return false;
        }
        out.skeleton += "''";
        out.strings.push_back(std::move(value));
    }
    return true;
}

inline bool isMarkupNameChar(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '/'; }

inline bool scanAttributes(std::string_view body, std::size_t& i, ScannedTag& tag, ScannedPage& page) {
    while (i < body.size() && body[i] != '>') {
        if (body[i] == ' ' || body[i] == '\n') {
            ++i;
            continue;
        }
        std::string name;
        for (; i < body.size() && isMarkupNameChar(body[i]); ++i) name += body[i];
        if (name.empty()) {
            page.error = "malformed attribute in <" + tag.name + "> at " + std::to_string(i);
            return false;
        }
        std::string value;
        if (body.substr(i, 2) == "=\"") {
            const std::size_t end = body.find('"', i + 2);
            if (end == std::string_view::npos) {
                page.error = "unterminated attribute";
                return false;
            }
            value = decodeEntities(body.substr(i + 2, end - i - 2));
            i = end + 1;
        } else if (i < body.size() && body[i] != ' ' && body[i] != '>') {
            page.error = "unquoted attribute value in <" + tag.name + "> at " + std::to_string(i);
            return false;
        }
        if (name.rfind("on", 0) == 0) {
            ScannedHandler handler;
            if (!scanHandler(value, handler, page.error)) return false;
            page.handlers.push_back(std::move(handler));
        }
        tag.attributes.emplace_back(std::move(name), std::move(value));
    }
    return true;
}

// The markup between <body> and the bridge script (the last <script>).
inline ScannedPage scanPage(const std::string& document) {
    ScannedPage page;
    const std::size_t start = document.find("<body>");
    const std::size_t end = document.rfind("<script>");
    if (start == std::string::npos || end == std::string::npos || end < start) {
        page.error = "no body";
        return page;
    }
    const std::string_view body = std::string_view(document).substr(start + 6, end - start - 6);
    std::string text;
    for (std::size_t i = 0; i < body.size();) {
        if (body[i] == '>') {
            page.error = "stray '>' in text at " + std::to_string(i);
            return page;
        }
        if (body[i] != '<') {
            text += body[i++];
            continue;
        }
        if (!text.empty()) page.texts.push_back(decodeEntities(text));
        text.clear();
        ScannedTag tag;
        for (++i; i < body.size() && isMarkupNameChar(body[i]); ++i) tag.name += body[i];
        if (!scanAttributes(body, i, tag, page)) return page;
        if (i >= body.size()) {
            page.error = "unterminated tag <" + tag.name;
            return page;
        }
        ++i;
        if (tag.name == "script") {  // the page's own code: skipped whole
            ++page.scriptElements;
            const std::size_t close = body.find("</script>", i);
            if (close == std::string_view::npos) {
                page.error = "unterminated script element";
                return page;
            }
            i = close + 9;
        }
        page.tags.push_back(std::move(tag));
    }
    if (!text.empty()) page.texts.push_back(decodeEntities(text));
    return page;
}

// Every tag, attribute and handler shape is one the page itself writes.
inline void expectOnlyPageStructure(const ScannedPage& page, const std::set<std::string>& tags,
                                    const std::set<std::string>& attributes, const std::set<std::string>& handlers) {
    ASSERT_EQ(page.error, "");
    for (const ScannedTag& tag : page.tags) {
        EXPECT_TRUE(tags.count(tag.name)) << "unexpected tag <" << tag.name << ">";
        for (const auto& attribute : tag.attributes) {
            EXPECT_TRUE(attributes.count(attribute.first)) << "unexpected attribute " << attribute.first;
        }
    }
    for (const ScannedHandler& handler : page.handlers) {
        EXPECT_TRUE(handlers.count(handler.skeleton)) << "unexpected handler " << handler.skeleton;
    }
}

// How many of the page's texts, attribute values or handler strings equal `value`.
inline std::size_t countArrivals(const ScannedPage& page, const std::string& value) {
    std::size_t count = 0;
    for (const std::string& text : page.texts) count += text == value;
    for (const ScannedTag& tag : page.tags) {
        for (const auto& attribute : tag.attributes) count += attribute.second == value;
    }
    for (const ScannedHandler& handler : page.handlers) {
        for (const std::string& string : handler.strings) count += string == value;
    }
    return count;
}

inline std::size_t occurrences(std::string_view haystack, std::string_view needle) {
    std::size_t count = 0;
    for (std::size_t at = haystack.find(needle); at != std::string_view::npos; at = haystack.find(needle, at + 1)) ++count;
    return count;
}

}  // namespace quorelle::testing::pagescan
