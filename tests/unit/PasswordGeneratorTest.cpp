#include "store/PasswordGenerator.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <set>
#include <string>

using quorelle::PasswordGenerator;

namespace {

const std::string kLower = "abcdefghijklmnopqrstuvwxyz";
const std::string kUpper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
const std::string kDigits = "0123456789";
const std::string kSymbols = "!@#$%^&*()-_=+[]{}|;:,.<>?";

bool onlyFrom(const std::string& text, const std::string& allowed) {
    return text.find_first_not_of(allowed) == std::string::npos;
}

// Pearson's statistic of the counts against a uniform spread over `pool`.
double chiSquare(const std::map<char, long>& counts, const std::string& pool, long draws) {
    const double expected = static_cast<double>(draws) / static_cast<double>(pool.size());
    double sum = 0;
    for (char c : pool) {
        auto it = counts.find(c);
        const double observed = it == counts.end() ? 0.0 : static_cast<double>(it->second);
        sum += (observed - expected) * (observed - expected) / expected;
    }
    return sum;
}

std::map<char, long> countCharacters(int passwords, int length, bool numbers, bool symbols, bool upper, bool lower) {
    std::map<char, long> counts;
    for (int i = 0; i < passwords; ++i)
        for (char c : PasswordGenerator::generate(length, numbers, symbols, upper, lower)) ++counts[c];
    return counts;
}

TEST(PasswordGenerator, FullPoolIsTheFourClassesInOrderAndHoldsEightyEightCharacters) {
    const std::string pool = PasswordGenerator::pool(true, true, true, true);
    EXPECT_EQ(pool, kLower + kUpper + kDigits + kSymbols);
    EXPECT_EQ(pool.size(), 88u);
    EXPECT_EQ(std::set<char>(pool.begin(), pool.end()).size(), 88u);
    for (char excluded : std::string(" \"'\\/~`"))
        EXPECT_EQ(pool.find(excluded), std::string::npos) << excluded;
}

TEST(PasswordGenerator, DefaultsGiveSixteenCharactersOfTheFullPool) {
    const std::string password = PasswordGenerator::generate();
    EXPECT_EQ(password.size(), 16u);
    EXPECT_TRUE(onlyFrom(password, kLower + kUpper + kDigits + kSymbols)) << password;
}

TEST(PasswordGenerator, NothingChosenFallsBackToLowerCaseLetters) {
    const std::string password = PasswordGenerator::generate(12, false, false, false, false);
    EXPECT_EQ(password.size(), 12u);
    EXPECT_TRUE(onlyFrom(password, kLower)) << password;
}

TEST(PasswordGenerator, LengthsBelowEightGiveEightAndLongOnesAreKept) {
    for (int length : {3, 0, 5, 7, -1, INT_MIN}) EXPECT_EQ(PasswordGenerator::generate(length).size(), 8u) << length;
    EXPECT_EQ(PasswordGenerator::generate(8).size(), 8u);
    EXPECT_EQ(PasswordGenerator::generate(9).size(), 9u);
    EXPECT_EQ(PasswordGenerator::generate(5000).size(), 5000u);  // no upper bound
}

TEST(PasswordGenerator, EachFlagSelectsItsOwnClassDespiteTheParameterOrder) {
    // The parameters run numbers, symbols, upper case, lower case.
    EXPECT_TRUE(onlyFrom(PasswordGenerator::generate(20, true, false, false, false), kDigits));
    EXPECT_EQ(PasswordGenerator::generate(20, true, false, false, false).size(), 20u);
    EXPECT_TRUE(onlyFrom(PasswordGenerator::generate(200, false, true, false, false), kSymbols));
    EXPECT_TRUE(onlyFrom(PasswordGenerator::generate(200, false, false, true, false), kUpper));
    EXPECT_TRUE(onlyFrom(PasswordGenerator::generate(200, false, false, false, true), kLower));
    EXPECT_EQ(PasswordGenerator::pool(true, true, false, false), kDigits + kSymbols);
    EXPECT_EQ(PasswordGenerator::pool(false, true, true, false), kUpper + kSymbols);
}

TEST(PasswordGenerator, EveryPoolCharacterOccursEquallyOftenAndNothingElse) {
    const std::string pool = kLower + kUpper + kDigits + kSymbols;
    const int passwords = 11000, length = 16;
    const auto counts = countCharacters(passwords, length, true, true, true, true);
    for (const auto& [c, n] : counts) EXPECT_NE(pool.find(c), std::string::npos) << "outside the pool: " << c;
    for (char c : pool) EXPECT_GT(counts.count(c), 0u) << "never drawn: " << c;
    // 87 degrees of freedom; a uniform source exceeds 175 about once in ten million runs.
    EXPECT_LT(chiSquare(counts, pool, long{passwords} * length), 175.0);
}

TEST(PasswordGenerator, EveryPositionIsDrawnAfresh) {
    std::set<std::string> passwords;
    std::set<char> firsts, lasts;
    for (int i = 0; i < 3000; ++i) {
        const std::string password = PasswordGenerator::generate();
        passwords.insert(password);
        firsts.insert(password.front());
        lasts.insert(password.back());
    }
    EXPECT_EQ(passwords.size(), 3000u);
    EXPECT_EQ(firsts.size(), 88u);
    EXPECT_EQ(lasts.size(), 88u);
}

}  // namespace
