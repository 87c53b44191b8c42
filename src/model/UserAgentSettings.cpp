#include "model/UserAgentSettings.h"

#include "model/JsonCodec.h"

namespace quorelle {
namespace {

constexpr json::EnumTable<UserAgentPreset::Case, UserAgentPreset::count> kRawValues{{
    {UserAgentPreset::default_, "default"},
    {UserAgentPreset::chromeMac, "chromeMac"},
    {UserAgentPreset::chromeIOS, "chromeIOS"},
    {UserAgentPreset::iphoneSafari, "iphoneSafari"},
    {UserAgentPreset::custom, "custom"},
}};

constexpr json::EnumTable<UserAgentPreset::Case, UserAgentPreset::count> kDisplayNames{{
    {UserAgentPreset::default_, "Default Safari (WebKit)"},
    {UserAgentPreset::chromeMac, "Chrome macOS"},
    {UserAgentPreset::chromeIOS, "Chrome iOS"},
    {UserAgentPreset::iphoneSafari, "iPhone Safari"},
    {UserAgentPreset::custom, "Custom"},
}};

}  // namespace

std::string_view UserAgentPreset::rawValue() const { return json::enumName(case_, kRawValues); }

std::string_view UserAgentPreset::displayName() const { return json::enumName(case_, kDisplayNames); }

std::optional<UserAgentPreset> UserAgentPreset::fromRawValue(std::string_view raw) {
    auto found = json::enumFromName(raw, kRawValues);
    if (!found) return std::nullopt;
    return UserAgentPreset(*found);
}

const std::array<UserAgentPreset, UserAgentPreset::count>& UserAgentPreset::allCases() {
    static const std::array<UserAgentPreset, count> all{default_, chromeMac, chromeIOS, iphoneSafari, custom};
    return all;
}

void readJson(const Json& j, UserAgentPreset& out) {
    UserAgentPreset::Case value{};
    json::readEnum(j, value, kRawValues);
    out = value;
}

Json toJson(const UserAgentPreset& preset) { return std::string(preset.rawValue()); }

const UserAgentSettings& UserAgentSettings::defaults() {
    static const UserAgentSettings settings{UserAgentPreset::default_, ""};
    return settings;
}

void readJson(const Json& j, UserAgentSettings& out) {
    out.preset = json::req<UserAgentPreset>(j, "preset");
    out.customValue = json::req<std::string>(j, "customValue");
}

Json toJson(const UserAgentSettings& settings) {
    Json j = Json::object();
    json::put(j, "preset", settings.preset);
    json::put(j, "customValue", settings.customValue);
    return j;
}

}  // namespace quorelle
