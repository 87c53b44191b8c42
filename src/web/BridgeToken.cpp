#include "web/BridgeToken.h"

#include "model/SecureRandom.h"

#include <array>
#include <cstdint>

namespace quorelle {

std::string BridgeToken::generate() {
    std::array<std::uint8_t, 16> bytes{};
    secureRandom::fill(bytes.data(), bytes.size());
    static constexpr char kHex[] = "0123456789abcdef";
    std::string token;
    token.reserve(bytes.size() * 2);
    for (std::uint8_t b : bytes) {
        token += kHex[b >> 4];
        token += kHex[b & 0x0F];
    }
    return token;
}

bool BridgeToken::isWellFormed(const std::string& token) {
    if (token.size() != 32) return false;
    for (char c : token) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

}  // namespace quorelle
