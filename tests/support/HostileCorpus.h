#pragma once

// Hostile user data for internal page renderers, and a checker that finds
// data that escaped its context in a rendered document.
//
// Use: for each offset in 0 ..< payloads().size(), render a page from
// hostileContext(route, offset) and from plainContext(route, offset) (the
// same shape with harmless text), then
// EXPECT_THAT(hostile::problems(hostileHtml, plainHtml), IsEmpty()).
// The checker compares the tag/attribute skeleton of the two documents (data
// that opens or closes an element or adds an attribute changes it), checks
// that script (elements and on* attributes) and CSS (style elements and
// attributes) read the same once their string literals are emptied, that
// every marker there sits inside a string literal, and that no link or
// source attribute holds a javascript: address.

#include "model/InternalPageRoute.h"
#include "model/Text.h"
#include "web/InternalPageContext.h"

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorelle::testing::hostile {

// Every hostile value contains it, so the checker can see where data landed.
inline constexpr std::string_view marker = "QZX";

inline const std::vector<std::string>& payloads() {
    static const std::vector<std::string> values{
        "QZX\"><img src=x onerror=alert(1)>",
        "QZX'); alert(2); ('",
        "QZX&#39;);alert(3);//",
        "QZX</script><script>alert(4)</script>",
        "QZX</style><script>alert(5)</script>",
        "QZX\u2028\u2029\r\n';alert(6)//",
        "javascript:alert(7)//QZX",
        "QZX\\');alert(8)//",
        "QZX' onmouseover='alert(9)",
        "QZX<!--<script>",
        "QZX&quot;&lt;b&gt;\" autofocus onfocus=\"alert(10)",
        "QZX}</style><style>body{background:red}",
        "QZX\\\"\\'\n</textarea><script>alert(11)</script>",
        "QZX</title><script>alert(12)</script>",
        // The marker after the breakout: a value that escapes its string
        // leaves the marker outside any literal.
        "'); alert(13); QZX",
        "\"><b id=QZX>",
    };
    return values;
}

// Hands out values field by field: hostile payloads in turn, or harmless
// text in the same order, so both contexts have the same shape.
class Values {
public:
    // `offset` shifts which payload each field gets; rendering once per
    // offset (0 ..< payloads().size()) gives every field every payload.
    explicit Values(bool hostile, std::size_t offset = 0) : hostile_(hostile), count_(offset) {}
    std::string text() {
        const std::size_t n = count_++;
        if (hostile_) return payloads()[n % payloads().size()];
        return "plain" + std::to_string(n % payloads().size());
    }
    // A colour field: never a valid colour when hostile.
    std::string color() {
        const std::size_t n = count_++;
        if (hostile_) return "#fff;" + payloads()[n % payloads().size()];
        return "#12ab34";
    }

private:
    bool hostile_;
    std::size_t count_;
};

inline void fillTheme(ThemeSettings& theme, Values& v) {
    for (std::string_view name : ThemeColors::fieldNames()) *theme.colors.field(name) = v.color();
    theme.background.kind = ThemeBackground::BackgroundKind::image;
    theme.background.solidColor = v.color();
    theme.background.gradientStart = v.color();
    theme.background.gradientEnd = v.color();
    theme.background.imagePath = v.text();
    theme.customThemeName = v.text();
}

inline ProfileData makeProfileData(Values& v) {
    ProfileData data = ProfileData::empty();
    BookmarkFolder folder;
    folder.name = v.text();
    data.bookmarkFolders = {folder};
    for (int i = 0; i < 2; ++i) {
        Bookmark b;
        b.title = v.text();
        b.url = v.text();
        b.faviconURL = v.text();
        b.customIconURL = i == 0 ? std::optional<std::string>(v.text()) : std::nullopt;
        if (i == 1) b.folderID = folder.id;
        data.bookmarks.push_back(b);
    }
    for (int i = 0; i < 2; ++i) {
        HistoryItem h;
        h.title = v.text();
        h.url = v.text();
        data.history.push_back(h);
    }
    for (int i = 0; i < 2; ++i) {
        ShortcutItem s;
        s.title = v.text();
        s.url = v.text();
        s.sortOrder = i;
        s.faviconURL = i == 0 ? std::optional<std::string>(v.text()) : std::nullopt;
        data.shortcuts.push_back(s);
    }
    data.settings.homepage = v.text();
    data.settings.selectedSearchEngineID = v.text();
    data.settings.customSearchEngineURL = v.text();
    data.settings.flags[v.text()] = true;
    data.settings.userAgent.customValue = v.text();
    data.settings.neverSavePasswordDomains = {v.text()};
    ProxyProfile proxy;
    proxy.name = v.text();
    proxy.host = v.text();
    proxy.username = v.text();
    proxy.password = v.text();
    data.proxies = {proxy};
    data.settings.activeProxyID = proxy.id;
    TabGroup group;
    group.name = v.text();
    data.tabGroups = {group};
    DownloadItem download;
    download.fileName = v.text();
    download.sourceURL = v.text();
    download.localPath = v.text();
    download.fileSize = 1234;
    data.downloads = {download};
    fillTheme(data.theme, v);
    SavedCustomTheme saved;
    saved.name = v.text();
    ThemeSettings savedTheme;
    fillTheme(savedTheme, v);
    saved.colors = savedTheme.colors;
    saved.background = savedTheme.background;
    data.savedThemes = {saved};
    return data;
}

inline BrowserProfile makeProfile(Values& v) {
    BrowserProfile p;
    p.id = v.text();
    p.name = v.text();
    p.avatarURL = v.text();
    p.themePresetID = v.text();
    return p;
}

// Every text field of the context holds a hostile value (a plain one for
// plainContext), every colour an invalid one, the background an image path.
inline InternalPageContext makeContext(InternalPageRoute route, bool hostile, std::size_t offset = 0) {
    Values v(hostile, offset);
    InternalPageContext context;
    context.route = route;
    context.profileData = makeProfileData(v);
    context.currentProfile = makeProfile(v);
    context.appSettings.profiles = {context.currentProfile, makeProfile(v)};
    context.appSettings.currentProfileID = context.currentProfile.id;
    context.appSettings.selectedStartupProfileID = context.currentProfile.id;
    for (int i = 0; i < 2; ++i) {
        BrowserTab::Options options;
        options.title = v.text();
        options.urlString = v.text();
        context.tabs.push_back(std::make_shared<BrowserTab>(options));
    }
    context.activeTab = context.tabs.front();
    context.version = v.text();
    context.build = v.text();
    context.dataPath = v.text();
    context.proxyTestResult = v.text();
    context.proxyTestError = v.text();
    context.bridgeToken = "0123456789abcdef0123456789abcdef";
    const std::string favicon = v.text();
    context.cachedFavicon = [favicon](const std::string&) { return std::optional<std::string>(favicon); };
    const auto other = std::make_shared<ProfileData>(makeProfileData(v));
    context.loadProfileData = [other](const std::string&) { return *other; };
    return context;
}

inline InternalPageContext hostileContext(InternalPageRoute route, std::size_t offset = 0) {
    return makeContext(route, true, offset);
}
inline InternalPageContext plainContext(InternalPageRoute route, std::size_t offset = 0) {
    return makeContext(route, false, offset);
}

// ---- the checker ------------------------------------------------------------

struct Attribute {
    std::string name;
    std::string value;  // entities decoded
};

struct Parsed {
    std::vector<std::string> skeleton;  // "tag attr attr ..." per tag, in order
    std::vector<std::pair<std::string, std::vector<Attribute>>> elements;
    std::vector<std::string> scripts;
    std::vector<std::string> styles;
};

inline std::string lowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

inline std::string decodeEntities(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        const std::size_t end = s.find(';', i);
        if (end == std::string_view::npos || end - i > 10) {
            out += s[i];
            continue;
        }
        const std::string name(s.substr(i + 1, end - i - 1));
        if (name == "amp") out += '&';
        else if (name == "lt") out += '<';
        else if (name == "gt") out += '>';
        else if (name == "quot") out += '"';
        else if (name == "apos") out += '\'';
        else if (!name.empty() && name[0] == '#') {
            const long code = name.size() > 1 && (name[1] == 'x' || name[1] == 'X')
                                  ? std::strtol(name.c_str() + 2, nullptr, 16)
                                  : std::strtol(name.c_str() + 1, nullptr, 10);
            if (code > 0 && code < 0x80) out += static_cast<char>(code);
            else out += '?';
        } else {
            out += s.substr(i, end - i + 1);
        }
        i = end;
    }
    return out;
}

inline Parsed parse(std::string_view html) {
    Parsed parsed;
    std::size_t i = 0;
    auto isNameChar = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
               c == ':';
    };
    while ((i = html.find('<', i)) != std::string_view::npos) {
        if (html.substr(i, 4) == "<!--") {
            const std::size_t end = html.find("-->", i + 4);
            parsed.skeleton.push_back("<!--");
            i = end == std::string_view::npos ? html.size() : end + 3;
            continue;
        }
        std::size_t j = i + 1;
        const bool closing = j < html.size() && html[j] == '/';
        if (closing) ++j;
        if (j >= html.size() || !(isNameChar(html[j]) || html[j] == '!')) {
            ++i;
            continue;
        }
        std::size_t nameStart = j;
        while (j < html.size() && (isNameChar(html[j]) || html[j] == '!')) ++j;
        const std::string tag = lowerAscii(html.substr(nameStart, j - nameStart));
        std::string entry = (closing ? "/" : "") + tag;
        std::vector<Attribute> attributes;
        while (j < html.size() && html[j] != '>') {
            if (html[j] == ' ' || html[j] == '\n' || html[j] == '\t' || html[j] == '\r' || html[j] == '/') {
                ++j;
                continue;
            }
            std::size_t a = j;
            while (j < html.size() && html[j] != '=' && html[j] != '>' && html[j] != ' ' && html[j] != '\n' &&
                   html[j] != '/')
                ++j;
            Attribute attribute{lowerAscii(html.substr(a, j - a)), ""};
            if (j < html.size() && html[j] == '=') {
                ++j;
                if (j < html.size() && (html[j] == '"' || html[j] == '\'')) {
                    const char quote = html[j];
                    const std::size_t end = html.find(quote, j + 1);
                    const std::size_t stop = end == std::string_view::npos ? html.size() : end;
                    attribute.value = decodeEntities(html.substr(j + 1, stop - j - 1));
                    j = stop + 1;
                } else {
                    std::size_t v = j;
                    while (j < html.size() && html[j] != ' ' && html[j] != '>') ++j;
                    attribute.value = decodeEntities(html.substr(v, j - v));
                }
            }
            entry += " " + attribute.name;
            attributes.push_back(std::move(attribute));
        }
        parsed.skeleton.push_back(entry);
        parsed.elements.emplace_back(tag, std::move(attributes));
        i = j;
        if (!closing && (tag == "script" || tag == "style" || tag == "title" || tag == "textarea")) {
            const std::string lowered = lowerAscii(html.substr(i));
            const std::size_t end = lowered.find("</" + tag);
            const std::size_t stop = end == std::string::npos ? html.size() : i + end;
            const std::string content(html.substr(i + 1, stop > i ? stop - i - 1 : 0));
            if (tag == "script") parsed.scripts.push_back(content);
            if (tag == "style") parsed.styles.push_back(content);
            i = stop;
        }
    }
    return parsed;
}

// Problems found in script text: a marker outside a string literal, a raw
// line break inside one, an unterminated string.
inline void checkScript(std::string_view js, const std::string& where, std::vector<std::string>& problems) {
    char quote = 0;
    for (std::size_t i = 0; i < js.size(); ++i) {
        const char c = js[i];
        if (js.substr(i, 3) == "\xE2\x80\xA8" || js.substr(i, 3) == "\xE2\x80\xA9")
            problems.push_back(where + ": raw U+2028/U+2029 in script");
        if (js.substr(i, marker.size()) == marker && quote == 0)
            problems.push_back(where + ": data outside a script string: " + std::string(js.substr(i, 40)));
        if (quote) {
            if (c == '\\') ++i;
            else if (c == quote) quote = 0;
            else if ((c == '\n' || c == '\r') && quote != '`')
                problems.push_back(where + ": line break inside a script string");
        } else if (c == '\'' || c == '"' || c == '`') {
            quote = c;
        } else if (c == '/' && i + 1 < js.size() && js[i + 1] == '/') {
            const std::size_t end = js.find('\n', i);
            if (js.substr(i, end - i).find(marker) != std::string_view::npos)
                problems.push_back(where + ": data in a script comment");
            i = end == std::string_view::npos ? js.size() : end;
        }
    }
    if (quote) problems.push_back(where + ": unterminated script string");
}

inline void checkCss(std::string_view css, const std::string& where, std::vector<std::string>& problems) {
    char quote = 0;
    for (std::size_t i = 0; i < css.size(); ++i) {
        const char c = css[i];
        if (css.substr(i, marker.size()) == marker && quote == 0)
            problems.push_back(where + ": data outside a CSS string: " + std::string(css.substr(i, 40)));
        if (quote) {
            if (c == '\\') ++i;
            else if (c == quote) quote = 0;
            else if (c == '\n' || c == '\r') problems.push_back(where + ": line break inside a CSS string");
        } else if (c == '\'' || c == '"') {
            quote = c;
        }
    }
    if (quote) problems.push_back(where + ": unterminated CSS string");
}

inline bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Script or CSS text with every string literal emptied, comments dropped and
// "#rrggbb" colours made alike (a theme's colours are data too, but only
// valid ones are ever written): data that stays in its place leaves it
// unchanged.
inline std::string codeSkeleton(std::string_view code, bool script) {
    std::string out;
    char quote = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (!quote && c == '#' && i + 7 <= code.size() &&
            std::all_of(code.begin() + i + 1, code.begin() + i + 7, isHexDigit) &&
            (i + 7 == code.size() || !isHexDigit(code[i + 7]))) {
            out += "#colour";
            i += 6;
        } else if (quote) {
            if (c == '\\') ++i;
            else if (c == quote) {
                out += quote;
                quote = 0;
            }
        } else if (c == '\'' || c == '"' || (script && c == '`')) {
            quote = c;
            out += c;
        } else if (script && c == '/' && i + 1 < code.size() && code[i + 1] == '/') {
            const std::size_t end = code.find('\n', i);
            i = end == std::string_view::npos ? code.size() : end - 1;
        } else if (c == '/' && i + 1 < code.size() && code[i + 1] == '*') {
            const std::size_t end = code.find("*/", i + 2);
            i = end == std::string_view::npos ? code.size() : end + 1;
        } else {
            out += c;
        }
    }
    return out;
}

// Attributes whose address is followed or run; an image never runs a
// javascript: address, a link, form, frame or script would.
inline bool isActiveAddress(const std::string& tag, const std::string& name) {
    if (name == "href" || name == "action" || name == "formaction") return true;
    return name == "src" && (tag == "iframe" || tag == "frame" || tag == "embed" || tag == "script");
}

// Everything that shows hostile data escaping its context; empty when none.
inline std::vector<std::string> problems(const std::string& hostileHtml, const std::string& plainHtml) {
    std::vector<std::string> found;
    const Parsed hostile = parse(hostileHtml);
    const Parsed plain = parse(plainHtml);
    if (hostile.skeleton != plain.skeleton) {
        for (std::size_t i = 0; i < std::max(hostile.skeleton.size(), plain.skeleton.size()); ++i) {
            const std::string a = i < hostile.skeleton.size() ? hostile.skeleton[i] : "(end)";
            const std::string b = i < plain.skeleton.size() ? plain.skeleton[i] : "(end)";
            if (a != b) {
                found.push_back("markup changed by data at tag " + std::to_string(i) + ": '" + a + "' instead of '" +
                                b + "'");
                break;
            }
        }
    }
    for (std::size_t s = 0; s < hostile.scripts.size(); ++s) {
        const std::string where = "script element " + std::to_string(s);
        checkScript(hostile.scripts[s], where, found);
        if (s < plain.scripts.size() && codeSkeleton(hostile.scripts[s], true) != codeSkeleton(plain.scripts[s], true))
            found.push_back(where + ": code changed by data");
    }
    for (std::size_t s = 0; s < hostile.styles.size(); ++s) {
        const std::string where = "style element " + std::to_string(s);
        checkCss(hostile.styles[s], where, found);
        if (s < plain.styles.size() && codeSkeleton(hostile.styles[s], false) != codeSkeleton(plain.styles[s], false))
            found.push_back(where + ": rules changed by data");
    }
    if (hostile.elements.size() == plain.elements.size()) {
        for (std::size_t e = 0; e < hostile.elements.size(); ++e) {
            const auto& ha = hostile.elements[e].second;
            const auto& pa = plain.elements[e].second;
            for (std::size_t k = 0; k < ha.size() && k < pa.size(); ++k) {
                const bool script = ha[k].name.rfind("on", 0) == 0;
                if ((script || ha[k].name == "style") &&
                    codeSkeleton(ha[k].value, script) != codeSkeleton(pa[k].value, script))
                    found.push_back("<" + hostile.elements[e].first + " " + ha[k].name + ">: code changed by data: " +
                                    ha[k].value);
            }
        }
    }
    for (const auto& [tag, attributes] : hostile.elements) {
        for (const Attribute& a : attributes) {
            const std::string where = "<" + tag + " " + a.name + ">";
            if (a.name.rfind("on", 0) == 0) checkScript(a.value, where, found);
            if (a.name == "style") checkCss(a.value, where, found);
            if (isActiveAddress(tag, a.name)) {
                const std::string address = lowerAscii(text::trimmed(a.value));
                if (address.rfind("javascript:", 0) == 0 || address.rfind("vbscript:", 0) == 0)
                    found.push_back(where + ": script address " + a.value);
            }
        }
    }
    return found;
}

}  // namespace quorelle::testing::hostile
