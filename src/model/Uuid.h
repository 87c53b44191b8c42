#pragma once

#include <array>
#include <compare>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

// A 128-bit identifier. Written as 36 upper-case characters; read in either
// case. Compare parsed values, never raw strings.
class Uuid {
public:
    using Bytes = std::array<std::uint8_t, 16>;

    constexpr Uuid() = default;  // the nil UUID
    explicit constexpr Uuid(const Bytes& bytes) : bytes_(bytes) {}

    // A version-4 UUID from the kernel's secure random source.
    static Uuid random();
    // Exactly 36 characters, 8-4-4-4-12 hex digits, either case.
    static std::optional<Uuid> parse(std::string_view text);

    std::string toString() const;       // upper case
    std::string toLowerString() const;  // lower case (profile ids)
    const Bytes& bytes() const { return bytes_; }
    bool isNil() const;

    friend bool operator==(const Uuid&, const Uuid&) = default;
    friend auto operator<=>(const Uuid&, const Uuid&) = default;

private:
    Bytes bytes_{};
};

}  // namespace quorelle

template <>
struct std::hash<quorelle::Uuid> {
    std::size_t operator()(const quorelle::Uuid& id) const noexcept;
};
