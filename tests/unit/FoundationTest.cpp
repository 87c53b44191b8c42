// Identifiers, dates and the Unicode text rules.
#include "model/Date.h"
#include "model/QuorelleAssets.h"
#include "model/Text.h"
#include "model/UrlParts.h"
#include "model/Uuid.h"
#include "web/HttpGetRequest.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

using quorelle::Date;
using quorelle::QuorelleAssets;
using quorelle::Uuid;
namespace text = quorelle::text;

namespace {

TEST(Uuid, RandomVersionFourAndParsing) {
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
        auto id = Uuid::random();
        auto s = id.toString();
        ASSERT_EQ(s.size(), 36u);
        EXPECT_EQ(s[14], '4');
        EXPECT_TRUE(s[19] == '8' || s[19] == '9' || s[19] == 'A' || s[19] == 'B');
        EXPECT_EQ(Uuid::parse(s), id);
        EXPECT_EQ(Uuid::parse(id.toLowerString()), id);
        seen.insert(s);
    }
    EXPECT_EQ(seen.size(), 200u);
    for (const char* bad : {"", "123", "6BA7B810-9DAD-11D1-80B4-00C04FD430C", "6BA7B810-9DAD-11D1-80B4-00C04FD430C8X",
                            "6BA7B8109DAD-11D1-80B4-00C04FD430C8-", "6BA7B810-9DAD-11D1-80B4-00C04FD430CG",
                            "{6BA7B810-9DAD-11D1-80B4-00C04FD430C}"})
        EXPECT_EQ(Uuid::parse(bad), std::nullopt) << bad;
    EXPECT_EQ(Uuid::parse("6ba7b810-9DAD-11d1-80b4-00c04fd430c8")->toString(), "6BA7B810-9DAD-11D1-80B4-00C04FD430C8");
}

TEST(Date, WholeSecondsFlooredInUtc) {
    EXPECT_EQ(Date{0}.iso8601(), "2001-01-01T00:00:00Z");
    EXPECT_EQ(Date{0.999}.iso8601(), "2001-01-01T00:00:00Z");
    EXPECT_EQ(Date{-0.25}.iso8601(), "2000-12-31T23:59:59Z");
    EXPECT_EQ(Date::fromUnixTime(0).iso8601(), "1970-01-01T00:00:00Z");
    EXPECT_EQ(Date::fromUnixTime(1709249400.75).iso8601(), "2024-02-29T23:30:00Z");
    auto parsed = Date::parseIso8601("2024-02-29T23:30:00Z");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->unixTime(), 1709249400);
    EXPECT_EQ(Date::parseIso8601("2024-02-29T23:30:00-01:30")->unixTime(), 1709249400 + 5400);
    for (const char* bad : {"2024-13-01T00:00:00Z", "2024-01-01T24:00:00Z", "2024-01-01 00:00:00Z",
                            "2024-01-01T00:00:00+1:00", "2024-01-01T00:00:00z", "24-01-01T00:00:00Z",
                            "2024-01-01T00:00:60Z", "2024-01-01T00:00:00ZZ"})
        EXPECT_EQ(Date::parseIso8601(bad), std::nullopt) << bad;
    auto now = Date::now();
    EXPECT_GT(now.secondsSinceReferenceDate, 7e8);
}

TEST(Date, EveryDateReadIsWrittenInAFormThatReadsTheSame) {
    // An offset can carry a moment up to a day past the years 0000 to 9999 in
    // UTC; it is read as the nearer end of them.
    const std::pair<const char*, const char*> read[] = {
        {"9999-12-31T23:59:59Z", "9999-12-31T23:59:59Z"},      {"9999-12-31T23:00:00-02:00", "9999-12-31T23:59:59Z"},
        {"9999-12-31T23:59:59-23:59", "9999-12-31T23:59:59Z"}, {"9999-12-31T22:59:59-01:00", "9999-12-31T23:59:59Z"},
        {"0000-01-01T00:00:00Z", "0000-01-01T00:00:00Z"},      {"0000-01-01T00:30:00+01:00", "0000-01-01T00:00:00Z"},
        {"0000-01-01T00:00:00+23:59", "0000-01-01T00:00:00Z"}, {"0000-01-01T01:00:00+01:00", "0000-01-01T00:00:00Z"},
        {"0000-02-29T12:00:00+13:00", "0000-02-28T23:00:00Z"}, {"2024-02-29T23:30:00-01:30", "2024-03-01T01:00:00Z"},
    };
    for (const auto& [text, written] : read) {
        const auto date = Date::parseIso8601(text);
        ASSERT_TRUE(date) << text;
        EXPECT_EQ(date->iso8601(), written) << text;
        EXPECT_EQ(Date::parseIso8601(date->iso8601()), date) << text;
    }
    // A moment made in memory beyond those years is written as their nearer end.
    for (double far : {1e300, 253402300800.0, std::numeric_limits<double>::infinity()})
        EXPECT_EQ(Date::fromUnixTime(far).iso8601(), "9999-12-31T23:59:59Z") << far;
    for (double far : {-1e300, -62167219201.0, std::numeric_limits<double>::quiet_NaN()})
        EXPECT_EQ(Date::fromUnixTime(far).iso8601(), "0000-01-01T00:00:00Z") << far;
}

TEST(Text, UnicodeCasingAndTrimming) {
    EXPECT_EQ(text::lowercased("\xE2\x84\xAA"), "k");  // KELVIN SIGN
    EXPECT_EQ(text::lowercased("ÄBC"), "äbc");
    EXPECT_EQ(text::uppercased("ß"), "SS");
    EXPECT_EQ(text::lowercased("A\xff" "B"), "a\xff" "b");  // invalid UTF-8 handled byte-wise
    EXPECT_EQ(text::trimmed(" \t\n\r\v\f x y \xC2\x85\xC2\xA0\xE2\x80\xA8\xE3\x80\x80"), "x y");
    EXPECT_EQ(text::trimmed("\xE2\x80\x8B" "x"), "\xE2\x80\x8B" "x");  // zero-width space is not white space
    EXPECT_EQ(text::trimmed("   "), "");
    EXPECT_EQ(text::trimmed(" a\xff "), "a\xff");
    EXPECT_EQ(text::firstCharacter("école"), "é");
    EXPECT_EQ(text::firstCharacter(""), "");
    EXPECT_EQ(text::firstCharacter("e\xCC\x81" "cole"), "e\xCC\x81");  // decomposed é keeps its accent
    EXPECT_EQ(text::uppercased(text::firstCharacter("e\xCC\x81" "cole")), "E\xCC\x81");
    EXPECT_EQ(text::firstCharacter("\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA\xF0\x9F\x87\xAB"),
              "\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA");  // a flag is two regional indicators, no more
    EXPECT_EQ(text::firstCharacter("\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x92\xBB x"),
              "\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x92\xBB");  // joined emoji
    EXPECT_EQ(text::firstCharacter("\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBDok"),
              "\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD");  // skin-tone modifier
    EXPECT_EQ(text::firstCharacter("ab"), "a");
    EXPECT_EQ(text::firstCharacter("\xff" "a"), "\xff");
    EXPECT_EQ(text::replaceAll("a%sb%s", "%s", "%s%s"), "a%s%sb%s%s");
    // Casing only the start gives what casing the whole would.
    EXPECT_TRUE(text::trimmedStartsWithIgnoringCase("\xE3\x80\x80 \xE2\x84\xAA" "ELVIN!", "kelvin"));
    EXPECT_TRUE(text::trimmedStartsWithIgnoringCase("HTTP://a\xff", "http://"));
    EXPECT_FALSE(text::trimmedStartsWithIgnoringCase("\xE2\x84\xAA\xff", "k"));  // invalid text is cased byte-wise
    EXPECT_FALSE(text::trimmedStartsWithIgnoringCase("VX:", "vx://"));
}

TEST(UrlParts, StrictParsing) {
    auto parts = quorelle::UrlParts::parse("HTTPS://User@Example.COM:8080/p?q#f");
    ASSERT_TRUE(parts);
    EXPECT_EQ(parts->scheme, "https");  // schemes come back lower-cased
    EXPECT_EQ(parts->host, "Example.COM");
    EXPECT_EQ(quorelle::UrlParts::parse("about:blank")->host, std::nullopt);
    // Only absolute addresses parse, as the platform's address parser has it.
    for (const char* relative : {"", "relative/path", "search?q=x", "//host/path"})
        EXPECT_FALSE(quorelle::UrlParts::parse(relative)) << relative;
    EXPECT_FALSE(quorelle::UrlParts::parse("https://x.example/?q=%FF"));
    EXPECT_EQ(quorelle::UrlParts::parse("https://[::1]:80/")->host, "::1");
    for (const char* bad : {"http://a b.com", "https://x.com/%zz", "https://a<b>.com", "http://a\"b", "a\tb",
                            "https://host:99999/"})
        EXPECT_FALSE(quorelle::UrlParts::parse(bad)) << bad;
}

// A network request is made for what libsoup takes: http or https with a
// host, the path and query as written. Whether the host exists is the
// resolver's to say ("a b" is no name it knows).
TEST(HttpGetRequest, IsMadeOnlyForAddressesLibsoupCanSend) {
    for (const char* http : {"http://a", "HTTPS://[::1]:8080/x.ico", "https://x.example/i.png?v=1",
                             "http://a/?q=%E9", "http://a/?x=a|b", "http://a/{i}.png", "http://a b/"})
        EXPECT_TRUE(quorelle::HttpGetRequest::to(http)) << http;
    for (const char* other : {"http://", "https://:443/", "http://@/", "https:///x", "file:///x", "ftp://x.example/",
                              "data:,x", "http", "", "not an address", "http://a/%zz"})
        EXPECT_FALSE(quorelle::HttpGetRequest::to(other)) << other;
}

template <typename T>
concept takesFlag = requires(T value) { QuorelleAssets::faviconURLIfInternal(value); };

TEST(QuorelleAssets, InternalAddressesAndLogo) {
    EXPECT_TRUE(QuorelleAssets::isInternalURL("  VX://History \n"));
    EXPECT_FALSE(QuorelleAssets::isInternalURL("vx:history"));
    // Called with a string literal, as callers do: a literal must reach the
    // address rule, never a flag.
    EXPECT_EQ(QuorelleAssets::faviconURL(" VX://x "), "vx-local://QuorelleLogo");
    EXPECT_EQ(QuorelleAssets::faviconURL("https://example.com"), std::nullopt);
    EXPECT_EQ(QuorelleAssets::faviconURLIfInternal(false), std::nullopt);
    EXPECT_EQ(QuorelleAssets::faviconURLIfInternal(true), "vx-local://QuorelleLogo");
    static_assert(takesFlag<bool> && !takesFlag<const char*> && !takesFlag<std::string>);
    EXPECT_TRUE(QuorelleAssets::isQuorelleLogo(std::string("QuorelleLogo")));
    EXPECT_TRUE(QuorelleAssets::isQuorelleLogo(std::string("vx-local://QuorelleLogo")));
    EXPECT_TRUE(QuorelleAssets::isQuorelleLogo(std::string("https://cdn.example/QuorelleLogo.png")));
    EXPECT_FALSE(QuorelleAssets::isQuorelleLogo(std::nullopt));
    EXPECT_FALSE(QuorelleAssets::isQuorelleLogo(std::string("")));
    EXPECT_FALSE(QuorelleAssets::isQuorelleLogo(std::string("quorellelogo")));
}

TEST(QuorelleAssets, BadgeLetters) {
    EXPECT_EQ(QuorelleAssets::faviconLetter(" vx://settings", "anything"), "Q");
    EXPECT_EQ(QuorelleAssets::faviconLetter("https://docs.example.org", "x"), "D");
    EXPECT_EQ(QuorelleAssets::faviconLetter("https://www.example.org", "x"), "W");
    EXPECT_EQ(QuorelleAssets::faviconLetter("http://127.0.0.1:8000/", "x"), "1");
    EXPECT_EQ(QuorelleAssets::faviconLetter("about:blank", "hello"), "H");
    EXPECT_EQ(QuorelleAssets::faviconLetter("about:blank", ""), "");
    EXPECT_EQ(QuorelleAssets::faviconLetter("not a url", "ßig"), "SS");
    EXPECT_EQ(QuorelleAssets::faviconLetter("https://émile.example", "x"), "É");
    // The address is not trimmed for the host rule.
    EXPECT_EQ(QuorelleAssets::faviconLetter(" https://site.example", "title"), "T");
}

}  // namespace
