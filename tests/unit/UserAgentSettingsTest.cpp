#include "model/JsonCodec.h"
#include "model/UserAgentSettings.h"

#include <gtest/gtest.h>

using quorelle::UserAgentPreset;
using quorelle::UserAgentSettings;
namespace json = quorelle::json;

namespace {

TEST(UserAgentPreset, CasesInOrderWithRawValuesAndNames) {
    const auto& all = UserAgentPreset::allCases();
    ASSERT_EQ(all.size(), 5u);
    const char* raw[] = {"default", "chromeMac", "chromeIOS", "iphoneSafari", "custom"};
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].rawValue(), raw[i]);
        EXPECT_EQ(UserAgentPreset::fromRawValue(raw[i]), all[i]);
    }
    EXPECT_EQ(all.front(), UserAgentPreset::default_);
    EXPECT_EQ(UserAgentPreset(UserAgentPreset::default_).displayName(), "Default Safari (WebKit)");
    EXPECT_EQ(UserAgentPreset(UserAgentPreset::iphoneSafari).displayName(), "iPhone Safari");
    EXPECT_EQ(UserAgentPreset(UserAgentPreset::custom).displayName(), "Custom");
}

TEST(UserAgentPreset, RawValueMatchIsCaseSensitive) {
    for (const char* raw : {"Default", "chromemac", "CHROMEIOS", "iPhoneSafari", " custom", ""})
        EXPECT_EQ(UserAgentPreset::fromRawValue(raw), std::nullopt) << raw;
}

TEST(UserAgentSettings, DefaultIsEngineIdentityWithEmptyText) {
    EXPECT_EQ(UserAgentSettings::defaults(), (UserAgentSettings{UserAgentPreset::default_, ""}));
}

TEST(UserAgentSettings, CustomTextDecodesAndRoundTrips) {
    auto custom = json::decode<UserAgentSettings>(R"({"preset":"custom","customValue":"Bot/1.0","extra":1})");
    ASSERT_TRUE(custom);
    EXPECT_EQ(*custom, (UserAgentSettings{UserAgentPreset::custom, "Bot/1.0"}));

    UserAgentSettings phone{UserAgentPreset::iphoneSafari, ""};
    auto j = toJson(phone);
    EXPECT_EQ(j, (quorelle::Json{{"customValue", ""}, {"preset", "iphoneSafari"}}));
    EXPECT_EQ(json::decode<UserAgentSettings>(json::dumpPretty(j)), phone);
}

TEST(UserAgentSettings, MissingOrBadKeysFail) {
    for (const char* text : {R"({"preset":"custom"})", R"({"customValue":""})", R"({"preset":1,"customValue":""})",
                             R"({"preset":"Custom","customValue":""})", R"({"preset":"custom","customValue":null})",
                             R"({"preset":"custom","customValue":5})", "[]", "nonsense"})
        EXPECT_FALSE(json::decode<UserAgentSettings>(text)) << text;
}

}  // namespace
