#include "model/ThemeColors.h"

#include "model/JsonCodec.h"

#include <optional>

namespace quorelle {
namespace {

using Member = std::string ThemeColors::*;

// Field order: also the order of fieldNames().
constexpr std::array<Member, ThemeColors::fieldCount> members{
    &ThemeColors::browserFrame,     &ThemeColors::toolbar,        &ThemeColors::activeTab,
    &ThemeColors::inactiveTab,      &ThemeColors::omnibox,        &ThemeColors::omniboxFocused,
    &ThemeColors::primaryText,      &ThemeColors::mutedText,      &ThemeColors::border,
    &ThemeColors::accent,           &ThemeColors::button,         &ThemeColors::buttonText,
    &ThemeColors::newTabBackground, &ThemeColors::cardBackground, &ThemeColors::internalPageBackground,
};

constexpr std::array<std::string_view, ThemeColors::fieldCount> names{
    "browserFrame",     "toolbar",        "activeTab",
    "inactiveTab",      "omnibox",        "omniboxFocused",
    "primaryText",      "mutedText",      "border",
    "accent",           "button",         "buttonText",
    "newTabBackground", "cardBackground", "internalPageBackground",
};

std::optional<std::size_t> indexOf(std::string_view name) {
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return i;
    return std::nullopt;
}

}  // namespace

const ThemeColors& ThemeColors::chromeDefaultLight() {
    static const ThemeColors colors{"#f1f3f4", "#ffffff", "#ffffff", "#e8eaed", "#f1f3f4",
                                    "#ffffff", "#202124", "#5f6368", "#dadce0", "#1a73e8",
                                    "#1a73e8", "#ffffff", "#f8fafd", "#ffffff", "#f8fafd"};
    return colors;
}

const ThemeColors& ThemeColors::chromeDefaultDark() {
    static const ThemeColors colors{"#202124", "#303134", "#303134", "#292a2d", "#202124",
                                    "#303134", "#e8eaed", "#9aa0a6", "#3c4043", "#8ab4f8",
                                    "#8ab4f8", "#202124", "#202124", "#303134", "#202124"};
    return colors;
}

const ThemeColors& ThemeColors::chromeDefault(bool dark) { return dark ? chromeDefaultDark() : chromeDefaultLight(); }

const std::array<std::string_view, ThemeColors::fieldCount>& ThemeColors::fieldNames() { return names; }

std::string* ThemeColors::field(std::string_view name) {
    auto index = indexOf(name);
    return index ? &(this->*members[*index]) : nullptr;
}

const std::string* ThemeColors::field(std::string_view name) const {
    auto index = indexOf(name);
    return index ? &(this->*members[*index]) : nullptr;
}

bool ThemeColors::isDark() const {
    return color(primaryText).relativeLuminance() > color(internalPageBackground).relativeLuminance();
}

ThemeColors ThemeColors::sanitized(bool dark) const {
    const ThemeColors& fallback = chromeDefault(dark);
    ThemeColors result = *this;
    for (Member m : members)
        if (!isValidHexColor(result.*m)) result.*m = fallback.*m;
    return result;
}

void readJson(const Json& j, ThemeColors& out) {
    ThemeColors colors;
    for (std::size_t i = 0; i < members.size(); ++i)
        colors.*members[i] = json::req<std::string>(j, std::string(names[i]).c_str());
    out = std::move(colors);
}

Json toJson(const ThemeColors& colors) {
    Json j = Json::object();
    for (std::size_t i = 0; i < members.size(); ++i) json::put(j, std::string(names[i]).c_str(), colors.*members[i]);
    return j;
}

}  // namespace quorelle
