#pragma once

#include "model/Json.h"
#include "model/RawEnum.h"
#include "model/Uuid.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

struct ProxyTypeCases {
    enum Case : std::uint8_t { http, https, socks4, socks5 };
    static constexpr std::array<std::string_view, 4> rawValues{"http", "https", "socks4", "socks5"};
    static constexpr std::array<std::string_view, 4> displayNames{"HTTP", "HTTPS", "SOCKS4", "SOCKS5"};
};

// The protocol a proxy server speaks, in the order the proxy page offers them.
class ProxyType : public RawEnum<ProxyTypeCases, ProxyType> {
public:
    constexpr ProxyType(Case c = http) : RawEnum(c) {}  // NOLINT: implicit by design

    bool isSocks() const { return value() == socks4 || value() == socks5; }
};

// One proxy server the user can route traffic through. The credentials are
// plain text kept in the profile's proxies file; an empty string means none.
struct ProxyProfile {
    Uuid id = Uuid::random();
    std::string name = "Proxy";
    ProxyType type = ProxyType::http;
    std::string host;
    std::int64_t port = 8080;  // any integer is kept as given
    std::string username;
    std::string password;
    bool isEnabled = false;

    friend bool operator==(const ProxyProfile&, const ProxyProfile&) = default;
};

// All eight keys are required; defaults never fill a gap.
// Made from the document alone (no random id, no clock reading).
ProxyProfile readJson(const Json& j, JsonType<ProxyProfile>);
Json toJson(const ProxyProfile& profile);

}  // namespace quorelle
