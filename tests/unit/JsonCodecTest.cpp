// The storage rules every record relies on.
#include "model/JsonCodec.h"

#include <gtest/gtest.h>

#include <limits>

using quorelle::Json;
using quorelle::JsonDecodeError;
namespace json = quorelle::json;

namespace {

Json doc(const char* text) { return *json::parse(text); }

TEST(JsonCodec, RequiredKeys) {
    const Json j = doc(R"({"s":"x","n":null,"i":3,"f":1.5,"b":true})");
    EXPECT_EQ(json::req<std::string>(j, "s"), "x");
    EXPECT_THROW(json::req<std::string>(j, "missing"), JsonDecodeError);
    EXPECT_THROW(json::req<std::string>(j, "n"), JsonDecodeError);
    EXPECT_THROW(json::req<std::string>(j, "i"), JsonDecodeError);
    EXPECT_THROW(json::req<bool>(j, "i"), JsonDecodeError);
    EXPECT_THROW(json::req<std::int64_t>(j, "b"), JsonDecodeError);
    EXPECT_THROW(json::req<std::string>(doc("[1]"), "s"), JsonDecodeError);
}

TEST(JsonCodec, OptionalKeysFailOnlyOnWrongTypes) {
    const Json j = doc(R"({"s":"x","n":null,"i":3})");
    EXPECT_EQ(json::opt<std::string>(j, "s"), "x");
    EXPECT_EQ(json::opt<std::string>(j, "n"), std::nullopt);
    EXPECT_EQ(json::opt<std::string>(j, "missing"), std::nullopt);
    EXPECT_THROW(json::opt<std::string>(j, "i"), JsonDecodeError);
    EXPECT_EQ(json::orDefault<std::int64_t>(j, "n", 9), 9);
    EXPECT_THROW(json::orDefault<bool>(j, "s", false), JsonDecodeError);
}

TEST(JsonCodec, IntegersAreNeverTruncated) {
    const Json j = doc(R"({"half":1.5,"whole":3.0,"big":9223372036854775807,"huge":9223372036854775808,
                          "neg":-9223372036854775808,"exp":1e300,"str":"1","below":-9223372036854775809,
                          "negHalf":-9223372036854775808.5,"pastDouble":9007199254740993.0})");
    EXPECT_THROW(json::req<std::int64_t>(j, "half"), JsonDecodeError);
    // Only integer forms: a float form may already be rounded (…993.0 reads as …992).
    for (const char* key : {"whole", "below", "negHalf", "pastDouble"})
        EXPECT_THROW(json::req<std::int64_t>(j, key), JsonDecodeError) << key;
    EXPECT_EQ(json::req<std::int64_t>(j, "big"), std::numeric_limits<std::int64_t>::max());
    EXPECT_THROW(json::req<std::int64_t>(j, "huge"), JsonDecodeError);
    EXPECT_EQ(json::req<std::int64_t>(j, "neg"), std::numeric_limits<std::int64_t>::min());
    EXPECT_THROW(json::req<std::int64_t>(j, "exp"), JsonDecodeError);
    EXPECT_THROW(json::req<std::int64_t>(j, "str"), JsonDecodeError);
    EXPECT_EQ(json::req<double>(j, "half"), 1.5);
    EXPECT_EQ(json::req<double>(j, "whole"), 3.0);
    EXPECT_THROW(json::req<double>(j, "str"), JsonDecodeError);
}

TEST(JsonCodec, OneBadElementFailsTheArray) {
    EXPECT_EQ(json::req<std::vector<std::string>>(doc(R"({"a":["x","y"]})"), "a"),
              (std::vector<std::string>{"x", "y"}));
    EXPECT_THROW(json::req<std::vector<std::string>>(doc(R"({"a":["x",2]})"), "a"), JsonDecodeError);
    EXPECT_THROW(json::req<std::vector<std::string>>(doc(R"({"a":["x",null]})"), "a"), JsonDecodeError);
    EXPECT_THROW(json::req<std::vector<std::string>>(doc(R"({"a":"x"})"), "a"), JsonDecodeError);
}

TEST(JsonCodec, UuidsInEitherCaseWrittenUpper) {
    auto id = quorelle::Uuid::random();
    const Json j = {{"lower", id.toLowerString()}, {"upper", id.toString()}, {"short", "1234"}};
    EXPECT_EQ(json::req<quorelle::Uuid>(j, "lower"), id);
    EXPECT_EQ(json::req<quorelle::Uuid>(j, "upper"), id);
    EXPECT_THROW(json::req<quorelle::Uuid>(j, "short"), JsonDecodeError);
    EXPECT_EQ(quorelle::toJson(id), id.toString());
}

TEST(JsonCodec, DatesAreStrictIso8601) {
    const Json j = {{"z", "2024-02-29T23:59:59Z"}, {"offset", "2024-03-01T01:59:59+02:00"},
                    {"fraction", "2024-02-29T23:59:59.5Z"}, {"number", 730000000},
                    {"noZone", "2024-02-29T23:59:59"}, {"badDay", "2023-02-29T00:00:00Z"}};
    auto a = json::req<quorelle::Date>(j, "z");
    EXPECT_EQ(a, json::req<quorelle::Date>(j, "offset"));
    EXPECT_EQ(a.iso8601(), "2024-02-29T23:59:59Z");
    for (const char* key : {"fraction", "number", "noZone", "badDay"})
        EXPECT_THROW(json::req<quorelle::Date>(j, key), JsonDecodeError) << key;
}

TEST(JsonCodec, DocumentsAreStrict) {
    EXPECT_TRUE(json::parse(R"({"a":1})"));
    EXPECT_TRUE(json::parse("\xEF\xBB\xBF{\"a\":1}"));  // byte-order mark
    EXPECT_FALSE(json::parse(R"({"a":1,})"));
    EXPECT_FALSE(json::parse("{\"a\":1} // note"));
    EXPECT_FALSE(json::parse("{\"a\":\"\xff\"}"));
    EXPECT_FALSE(json::parse(""));
    EXPECT_FALSE(json::parse("{\"a\":1} {\"b\":2}"));
    // A NUL byte is no end of input: not at the start, in the middle, after
    // a whole document, nor as the padding a power cut leaves.
    using namespace std::string_view_literals;
    for (const auto text : {"\0[]"sv, "[]\0[{\"a\":1}]"sv, "{\"a\":\0 1}"sv, "{\"a\":1}\0"sv,
                            "[1,2]\0\0\0\0\0\0\0\0"sv, "{\"a\":\"x\0y\"}"sv})
        EXPECT_FALSE(json::parse(text)) << ::testing::PrintToString(std::string(text));
}

TEST(JsonCodec, PrettyOutputIsSortedAndDeterministic) {
    Json j = Json::object();
    j["zeta"] = 1;
    j["alpha"] = Json::array({"x"});
    j["mid"] = "v/w";
    const auto text = json::dumpPretty(j);
    EXPECT_EQ(text, json::dumpPretty(*json::parse(text)));
    EXPECT_LT(text.find("alpha"), text.find("mid"));
    EXPECT_LT(text.find("mid"), text.find("zeta"));
    EXPECT_NE(text.find("\n  \"alpha\""), std::string::npos);
}

enum class Shade { light, dark };
constexpr json::EnumTable<Shade, 2> kShades{{{Shade::light, "light"}, {Shade::dark, "dark"}}};

TEST(JsonCodec, EnumerationsAreExactRawStrings) {
    Shade s{};
    json::readEnum(Json("dark"), s, kShades);
    EXPECT_EQ(s, Shade::dark);
    EXPECT_THROW(json::readEnum(Json("Dark"), s, kShades), JsonDecodeError);
    EXPECT_THROW(json::readEnum(Json(1), s, kShades), JsonDecodeError);
    EXPECT_EQ(json::enumName(Shade::light, kShades), "light");
    EXPECT_EQ(json::enumFromName("dark", kShades), Shade::dark);
    EXPECT_EQ(json::enumFromName(" dark", kShades), std::nullopt);
}

}  // namespace
