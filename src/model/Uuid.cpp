#include "model/Uuid.h"

#include "model/SecureRandom.h"
#include "model/Text.h"

namespace quorelle {
namespace {

bool isDashPosition(std::size_t i) { return i == 8 || i == 13 || i == 18 || i == 23; }

std::string format(const Uuid::Bytes& bytes, const char* digits) {
    std::string out;
    out.reserve(36);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) out.push_back('-');
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 0x0f]);
    }
    return out;
}

}  // namespace

Uuid Uuid::random() {
    Bytes bytes;
    secureRandom::fill(bytes.data(), bytes.size());
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0f) | 0x40);  // version 4
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3f) | 0x80);  // RFC 4122 variant
    return Uuid(bytes);
}

std::optional<Uuid> Uuid::parse(std::string_view text) {
    if (text.size() != 36) return std::nullopt;
    Bytes bytes{};
    std::size_t nibble = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isDashPosition(i)) {
            if (text[i] != '-') return std::nullopt;
            continue;
        }
        int v = text::hexDigitValue(text[i]);
        if (v < 0) return std::nullopt;
        bytes[nibble / 2] = static_cast<std::uint8_t>(bytes[nibble / 2] | (nibble % 2 ? v : v << 4));
        ++nibble;
    }
    return Uuid(bytes);
}

std::string Uuid::toString() const { return format(bytes_, "0123456789ABCDEF"); }

std::string Uuid::toLowerString() const { return format(bytes_, "0123456789abcdef"); }

bool Uuid::isNil() const {
    for (auto b : bytes_)
        if (b != 0) return false;
    return true;
}

}  // namespace quorelle

std::size_t std::hash<quorelle::Uuid>::operator()(const quorelle::Uuid& id) const noexcept {
    std::size_t h = 1469598103934665603ull;
    for (auto b : id.bytes()) h = (h ^ b) * 1099511628211ull;
    return h;
}
