#include "model/ProxyProfile.h"

#include "model/JsonCodec.h"

namespace quorelle {
namespace {

constexpr json::EnumTable<ProxyType::Case, ProxyType::count> kRawValues{{
    {ProxyType::http, "http"},
    {ProxyType::https, "https"},
    {ProxyType::socks4, "socks4"},
    {ProxyType::socks5, "socks5"},
}};

constexpr json::EnumTable<ProxyType::Case, ProxyType::count> kDisplayNames{{
    {ProxyType::http, "HTTP"},
    {ProxyType::https, "HTTPS"},
    {ProxyType::socks4, "SOCKS4"},
    {ProxyType::socks5, "SOCKS5"},
}};

}  // namespace

std::string_view ProxyType::rawValue() const { return json::enumName(case_, kRawValues); }

std::string_view ProxyType::displayName() const { return json::enumName(case_, kDisplayNames); }

std::optional<ProxyType> ProxyType::fromRawValue(std::string_view raw) {
    auto found = json::enumFromName(raw, kRawValues);
    if (!found) return std::nullopt;
    return ProxyType(*found);
}

const std::array<ProxyType, ProxyType::count>& ProxyType::allCases() {
    static const std::array<ProxyType, count> all{http, https, socks4, socks5};
    return all;
}

void readJson(const Json& j, ProxyType& out) {
    ProxyType::Case value{};
    json::readEnum(j, value, kRawValues);
    out = value;
}

Json toJson(const ProxyType& type) { return std::string(type.rawValue()); }

ProxyProfile readJson(const Json& j, JsonType<ProxyProfile>) {
    return ProxyProfile{.id = json::req<Uuid>(j, "id"),
                        .name = json::req<std::string>(j, "name"),
                        .type = json::req<ProxyType>(j, "type"),
                        .host = json::req<std::string>(j, "host"),
                        .port = json::req<std::int64_t>(j, "port"),
                        .username = json::req<std::string>(j, "username"),
                        .password = json::req<std::string>(j, "password"),
                        .isEnabled = json::req<bool>(j, "isEnabled")};
}

Json toJson(const ProxyProfile& profile) {
    Json j = Json::object();
    json::put(j, "id", profile.id);
    json::put(j, "name", profile.name);
    json::put(j, "type", profile.type);
    json::put(j, "host", profile.host);
    json::put(j, "port", profile.port);
    json::put(j, "username", profile.username);
    json::put(j, "password", profile.password);
    json::put(j, "isEnabled", profile.isEnabled);
    return j;
}

}  // namespace quorelle
