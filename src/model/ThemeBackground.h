#pragma once

#include "model/Json.h"

#include <optional>
#include <string>

namespace quorelle {

// The new-tab page background. All three colours are kept whatever the kind.
struct ThemeBackground {
    enum class BackgroundKind { solid, gradient, image };

    BackgroundKind kind = BackgroundKind::solid;
    std::string solidColor;
    std::string gradientStart;
    std::string gradientEnd;
    std::optional<std::string> imagePath = std::nullopt;  // as the user entered it

    // Built once, on first use.
    static const ThemeBackground& defaultLight();  // the light default
    static const ThemeBackground& defaultDark();
    static const ThemeBackground& defaultFor(bool dark);

    // A copy whose invalid colour texts are replaced by the same field of the
    // light or dark default; the kind and image stay.
    ThemeBackground sanitized(bool dark) const;

    friend bool operator==(const ThemeBackground&, const ThemeBackground&) = default;
};

std::string_view backgroundKindName(ThemeBackground::BackgroundKind kind);

void readJson(const Json& j, ThemeBackground::BackgroundKind& out);
Json toJson(const ThemeBackground::BackgroundKind& kind);
void readJson(const Json& j, ThemeBackground& out);
Json toJson(const ThemeBackground& background);

}  // namespace quorelle
