#include "model/ThemeBackground.h"

#include "model/Color.h"
#include "model/JsonCodec.h"

namespace quorelle {
namespace {

using Kind = ThemeBackground::BackgroundKind;

constexpr json::EnumTable<Kind, 3> kindNames{{
    {Kind::solid, "solid"},
    {Kind::gradient, "gradient"},
    {Kind::image, "image"},
}};

}  // namespace

const ThemeBackground& ThemeBackground::defaultLight() {
    static const ThemeBackground background{Kind::solid, "#f8fafd", "#e8f0fe", "#f8fafd", std::nullopt};
    return background;
}

const ThemeBackground& ThemeBackground::defaultDark() {
    static const ThemeBackground background{Kind::solid, "#202124", "#292a2d", "#202124", std::nullopt};
    return background;
}

const ThemeBackground& ThemeBackground::defaultFor(bool dark) { return dark ? defaultDark() : defaultLight(); }

ThemeBackground ThemeBackground::sanitized(bool dark) const {
    const ThemeBackground& fallback = defaultFor(dark);
    ThemeBackground result = *this;
    result.solidColor = validHexColorOr(solidColor, fallback.solidColor);
    result.gradientStart = validHexColorOr(gradientStart, fallback.gradientStart);
    result.gradientEnd = validHexColorOr(gradientEnd, fallback.gradientEnd);
    return result;
}

std::string_view backgroundKindName(ThemeBackground::BackgroundKind kind) { return json::enumName(kind, kindNames); }

void readJson(const Json& j, ThemeBackground::BackgroundKind& out) { json::readEnum(j, out, kindNames); }

Json toJson(const ThemeBackground::BackgroundKind& kind) { return std::string(backgroundKindName(kind)); }

void readJson(const Json& j, ThemeBackground& out) {
    ThemeBackground background;
    background.kind = json::req<Kind>(j, "kind");
    background.solidColor = json::req<std::string>(j, "solidColor");
    background.gradientStart = json::req<std::string>(j, "gradientStart");
    background.gradientEnd = json::req<std::string>(j, "gradientEnd");
    background.imagePath = json::opt<std::string>(j, "imagePath");
    out = std::move(background);
}

Json toJson(const ThemeBackground& background) {
    Json j = Json::object();
    json::put(j, "kind", background.kind);
    json::put(j, "solidColor", background.solidColor);
    json::put(j, "gradientStart", background.gradientStart);
    json::put(j, "gradientEnd", background.gradientEnd);
    json::putOptional(j, "imagePath", background.imagePath);
    return j;
}

}  // namespace quorelle
