#include "store/PasswordGenerator.h"

#include "model/SecureRandom.h"

#include <algorithm>

namespace quorelle {

std::string PasswordGenerator::pool(bool numbers, bool symbols, bool uppercase, bool lowercase) {
    std::string characters;
    if (lowercase) characters += lowercaseLetters;
    if (uppercase) characters += uppercaseLetters;
    if (numbers) characters += digits;
    if (symbols) characters += symbolCharacters;
    if (characters.empty()) characters = lowercaseLetters;
    return characters;
}

std::string PasswordGenerator::generate(int length, bool numbers, bool symbols, bool uppercase, bool lowercase) {
    const std::string characters = pool(numbers, symbols, uppercase, lowercase);
    const auto count = static_cast<std::size_t>(std::max(length, minimumLength));
    std::string password;
    password.reserve(count);
    for (std::size_t i = 0; i < count; ++i) password += characters[secureRandom::below(characters.size())];
    return password;
}

}  // namespace quorelle
