#pragma once

#include "model/Color.h"
#include "model/Json.h"

#include <array>
#include <string>
#include <string_view>

namespace quorelle {

// The fifteen colours of a theme, each a colour text ("#rrggbb").
struct ThemeColors {
    std::string browserFrame;
    std::string toolbar;
    std::string activeTab;
    std::string inactiveTab;
    std::string omnibox;
    std::string omniboxFocused;
    std::string primaryText;
    std::string mutedText;
    std::string border;
    std::string accent;
    std::string button;
    std::string buttonText;
    std::string newTabBackground;
    std::string cardBackground;
    std::string internalPageBackground;

    static constexpr std::size_t fieldCount = 15;

    // Built once, on first use.
    static const ThemeColors& chromeDefaultLight();
    static const ThemeColors& chromeDefaultDark();
    static const ThemeColors& chromeDefault(bool dark);

    // The field names in declaration order; they are also the JSON keys and
    // the keys of single-colour edits.
    static const std::array<std::string_view, fieldCount>& fieldNames();
    // The field with exactly that (case-sensitive) name, or null.
    std::string* field(std::string_view name);
    const std::string* field(std::string_view name) const;

    // Color::fromHex of the given text; reads nothing of the record.
    static Color color(std::string_view hex) { return Color::fromHex(hex); }

    // Dark colours: the text is lighter than the internal pages' background.
    bool isDark() const;

    // A copy in which every field that is not a valid colour text is replaced
    // by the same field of the light or dark default.
    ThemeColors sanitized(bool dark) const;

    friend bool operator==(const ThemeColors&, const ThemeColors&) = default;
};

void readJson(const Json& j, ThemeColors& out);
Json toJson(const ThemeColors& colors);

}  // namespace quorelle
