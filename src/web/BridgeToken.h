#pragma once

#include <string>

namespace quorelle {

// The per-render secret of an internal page's script bridge.
struct BridgeToken {
    // 128 random bits from getrandom(2) as 32 lower-case hex digits.
    static std::string generate();
    // True for exactly what generate() produces (32 lower-case hex digits).
    static bool isWellFormed(const std::string& token);
};

}  // namespace quorelle
