#include "model/Color.h"
#include "model/ThemeColors.h"

#include <gtest/gtest.h>

using quorelle::Color;
using quorelle::isValidHexColor;

namespace {

Color rgb(int r, int g, int b) { return Color{r / 255.0, g / 255.0, b / 255.0, 1.0}; }
const Color black{0, 0, 0, 1};

TEST(Color, SixDigitsWithOrWithoutHashOrBlanks) {
    for (const char* text : {"#1a73e8", "1a73e8", "  #1a73e8 ", "\t#1a73e8\n", "##1a73e8!"})
        EXPECT_EQ(Color::fromHex(text), rgb(26, 115, 232)) << text;
    EXPECT_EQ(Color::fromHex("  #A1B2C3 "), rgb(0xa1, 0xb2, 0xc3));
}

TEST(Color, UpperAndLowerCaseDigitsAgree) {
    EXPECT_EQ(Color::fromHex("#F1F3F4"), Color::fromHex("#f1f3f4"));
    EXPECT_EQ(Color::fromHex("#f1f3f4"), rgb(0xf1, 0xf3, 0xf4));
}

TEST(Color, EveryOtherLengthIsOpaqueBlack) {
    for (const char* text : {"#abc", "#1a73e8ff", "#1234567", "", "#", "   ", "zz", "0x112233", "#12345"})
        EXPECT_EQ(Color::fromHex(text), black) << '"' << text << '"';
}

TEST(Color, ScanStopsAtTheFirstNonHexCharacter) {
    EXPECT_EQ(Color::fromHex("#12345g"), rgb(1, 35, 69));
    EXPECT_EQ(Color::fromHex("zzzzzz"), black);
    EXPECT_EQ(Color::fromHex("#ghijkl"), black);
    // A hexadecimal prefix still counts towards the six characters.
    EXPECT_EQ(Color::fromHex("0x1234"), rgb(0, 0x12, 0x34));
    EXPECT_EQ(Color::fromHex("0X1234"), rgb(0, 0x12, 0x34));
}

TEST(Color, MiddleCharactersStayAndUnicodeEdgesAreTrimmed) {
    EXPECT_EQ(Color::fromHex("12 456"), rgb(0, 0, 0x12));  // the blank ends the number
    EXPECT_EQ(Color::fromHex("\xE2\x80\x83#1a73e8\xC2\xA0"), rgb(26, 115, 232));  // em space, no-break space
    // Letters of other scripts are alphanumeric: they stay and are counted.
    EXPECT_EQ(Color::fromHex("1a73e\xC3\xA9"), rgb(0x01, 0xa7, 0x3e));
    // A combining mark belongs to the character before it.
    EXPECT_EQ(Color::fromHex("1a73ee\xCC\x81"), rgb(0x1a, 0x73, 0xee));
}

TEST(Color, InvalidUtf8NeverCrashes) {
    EXPECT_EQ(Color::fromHex("\xff\xfe"), black);
    EXPECT_EQ(Color::fromHex("#1a73e8\xff"), rgb(26, 115, 232));
    EXPECT_EQ(Color::fromHex(std::string_view("12\0" "456", 6)), rgb(0, 0, 0x12));
}

TEST(Color, ThemeColorsParseThroughTheSameRule) {
    EXPECT_EQ(quorelle::ThemeColors::color("#8ab4f8"), rgb(0x8a, 0xb4, 0xf8));
    EXPECT_EQ(quorelle::ThemeColors::color("red"), black);
}

TEST(HexColorValidator, AcceptsOnlyHashAndSixHexDigits) {
    for (const char* ok : {"#000000", "#ffffff", "#A1b2C3", "#1a73e8"}) EXPECT_TRUE(isValidHexColor(ok)) << ok;
    for (const char* bad : {"", "#", "#abc", "1a73e8", " #1a73e8", "#1a73e8 ", "#1a73e80", "#12345g", "0x112233",
                            "#1a73e8ff", "red", "#1a73e\xC3\xA9", "</style><script>"})
        EXPECT_FALSE(isValidHexColor(bad)) << bad;
    EXPECT_FALSE(isValidHexColor(std::string_view("#1a73\0" "8", 7)));
}

TEST(HexColorValidator, FallbackReplacesOnlyInvalidText) {
    EXPECT_EQ(quorelle::validHexColorOr("#ABCDEF", "#000000"), "#ABCDEF");
    EXPECT_EQ(quorelle::validHexColorOr("blue;}", "#000000"), "#000000");
}

}  // namespace
