#pragma once

#include "model/Json.h"
#include "model/Uuid.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

// The protocol a proxy server speaks, in the order the proxy page offers them.
class ProxyType {
public:
    enum Case : std::uint8_t { http, https, socks4, socks5 };
    static constexpr std::size_t count = 4;

    constexpr ProxyType(Case c = http) : case_(c) {}  // NOLINT: implicit by design
    constexpr Case value() const { return case_; }

    std::string_view rawValue() const;
    std::string_view displayName() const;
    bool isSocks() const { return case_ == socks4 || case_ == socks5; }

    // Exact, case-sensitive match of a raw value.
    static std::optional<ProxyType> fromRawValue(std::string_view raw);
    static const std::array<ProxyType, count>& allCases();

    friend constexpr bool operator==(ProxyType a, ProxyType b) { return a.case_ == b.case_; }

private:
    Case case_;
};

void readJson(const Json& j, ProxyType& out);
Json toJson(const ProxyType& type);

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
