#pragma once

#include <string>
#include <string_view>

namespace quorelle {

// Random passwords for the password panel. Every position is an independent,
// unbiased draw from the whole pool of the chosen character classes, taken
// from the kernel's secure random source; no class is guaranteed to appear.
struct PasswordGenerator {
    static constexpr std::string_view lowercaseLetters = "abcdefghijklmnopqrstuvwxyz";
    static constexpr std::string_view uppercaseLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static constexpr std::string_view digits = "0123456789";
    static constexpr std::string_view symbolCharacters = "!@#$%^&*()-_=+[]{}|;:,.<>?";

    static constexpr int defaultLength = 16;
    static constexpr int minimumLength = 8;

    // The chosen classes joined in the order lower case, upper case, digits,
    // symbols; the lower-case letters alone when nothing is chosen.
    static std::string pool(bool numbers, bool symbols, bool uppercase, bool lowercase);

    // `length` below the minimum gives the minimum; there is no upper bound.
    static std::string generate(int length = defaultLength, bool numbers = true, bool symbols = true,
                                bool uppercase = true, bool lowercase = true);
};

}  // namespace quorelle
