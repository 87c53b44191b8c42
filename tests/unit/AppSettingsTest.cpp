#include "model/AppSettings.h"
#include "model/JsonCodec.h"

#include <gtest/gtest.h>

using quorelle::AppSettings;
using quorelle::BrowserProfile;

namespace {

BrowserProfile profile(std::string id, bool isGuest = false) {
    BrowserProfile p;
    p.id = std::move(id);
    p.name = p.id;
    p.isGuest = isGuest;
    p.createdAt = quorelle::Date{100};
    return p;
}

std::vector<std::string> ids(const AppSettings& s) {
    std::vector<std::string> out;
    for (const auto& p : s.profiles) out.push_back(p.id);
    return out;
}

AppSettings decode(const std::string& text) {
    auto settings = quorelle::json::decode<AppSettings>(text);
    EXPECT_TRUE(settings) << text;
    return settings.value_or(AppSettings{});
}

std::string profileJson(const std::string& id, bool isGuest = false) {
    return R"({"id":")" + id + R"(","name":"N","isGuest":)" + (isGuest ? "true" : "false") +
           R"(,"isDefault":false,"createdAt":"2024-05-01T10:00:00Z"})";
}

TEST(AppSettings, MinimalDocumentIsRepaired) {
    auto s = decode(R"({"currentProfileID":"ghost","profiles":[]})");
    EXPECT_EQ(ids(s), (std::vector<std::string>{"default", "guest"}));
    EXPECT_EQ(s.selectedStartupProfileID, "default");
    EXPECT_EQ(s.currentProfileID, "default");
    EXPECT_FALSE(s.firstLaunchComplete);
    EXPECT_FALSE(s.showSyncPage);
    EXPECT_FALSE(s.showExtensionsPage);
}

TEST(AppSettings, FixedProfilesAreAddedByIdAlone) {
    auto s = decode(R"({"currentProfileID":"a","profiles":[)" + profileJson("guest", true) + "," + profileJson("a") +
                    "]}");
    EXPECT_EQ(ids(s), (std::vector<std::string>{"default", "guest", "a"}));
    EXPECT_EQ(s.selectedStartupProfileID, "default");
    EXPECT_EQ(s.currentProfileID, "a");  // a usable current profile stays
}

TEST(AppSettings, DefaultIsNotMovedAndGuestIsAppended) {
    auto s = decode(R"({"currentProfileID":"a","selectedStartupProfileID":"a","profiles":[)" + profileJson("a") +
                    "," + profileJson("default") + "]}");
    EXPECT_EQ(ids(s), (std::vector<std::string>{"a", "default", "guest"}));
    EXPECT_EQ(s.currentProfileID, "a");
    EXPECT_EQ(s.selectedStartupProfileID, "a");
}

TEST(AppSettings, LaunchProfileIsNeverGuestOrUnknown) {
    const std::vector<BrowserProfile> list{profile("default"), profile("guest", true), profile("a"),
                                           profile("g2", true)};
    EXPECT_EQ(AppSettings::sanitizeStartupProfileID("guest", list), "default");
    EXPECT_EQ(AppSettings::sanitizeStartupProfileID("nobody", list), "default");
    EXPECT_EQ(AppSettings::sanitizeStartupProfileID("g2", list), "default");
    EXPECT_EQ(AppSettings::sanitizeStartupProfileID("a", list), "a");
    EXPECT_EQ(AppSettings::sanitizeStartupProfileID("A", list), "default");  // exact comparison
    EXPECT_EQ(AppSettings::sanitizeStartupProfileID("a", {}), "default");
    EXPECT_EQ(AppSettings::sanitizeStartupProfileID("", list), "default");
}

TEST(AppSettings, CurrentGuestIsReplacedByTheLaunchProfile) {
    AppSettings s{"guest", "a", {profile("default"), profile("guest", true), profile("a")}, true, false, false};
    s.normalizeProfiles();
    EXPECT_EQ(s.currentProfileID, "a");
    auto once = s;
    s.normalizeProfiles();
    EXPECT_EQ(s, once);  // idempotent
}

TEST(AppSettings, CurrentNamingOnlyAGuestProfileFallsBack) {
    AppSettings s{"g2", "a", {profile("default"), profile("guest", true), profile("a"), profile("g2", true)},
                  false, false, false};
    s.normalizeProfiles();
    EXPECT_EQ(s.currentProfileID, "a");
}

TEST(AppSettings, SetStartupProfile) {
    AppSettings s{"b", "b", {profile("default"), profile("guest", true), profile("a"), profile("b")}, true, false,
                  false};
    s.setStartupProfile("a");
    EXPECT_EQ(s.selectedStartupProfileID, "a");
    EXPECT_EQ(s.currentProfileID, "a");

    s.currentProfileID = "guest";
    s.setStartupProfile("b");
    EXPECT_EQ(s.selectedStartupProfileID, "b");
    EXPECT_EQ(s.currentProfileID, "guest");

    s.currentProfileID = "a";
    s.setStartupProfile("guest");
    EXPECT_EQ(s.selectedStartupProfileID, "default");
    EXPECT_EQ(s.currentProfileID, "default");
}

TEST(AppSettings, NullsTakeTheirDefaultsButWrongTypesFail) {
    auto s = decode(R"({"currentProfileID":"default","selectedStartupProfileID":null,"profiles":[],
                        "firstLaunchComplete":null,"showSyncPage":true,"unknown":[1,2]})");
    EXPECT_EQ(s.selectedStartupProfileID, "default");
    EXPECT_FALSE(s.firstLaunchComplete);
    EXPECT_TRUE(s.showSyncPage);

    for (const char* bad : {
             R"({"profiles":[]})",
             R"({"currentProfileID":null,"profiles":[]})",
             R"({"currentProfileID":"default"})",
             R"({"currentProfileID":"default","profiles":{}})",
             R"({"currentProfileID":"default","profiles":[],"firstLaunchComplete":1})",
             R"({"currentProfileID":"default","profiles":[],"selectedStartupProfileID":7})",
             R"({"currentProfileID":"default","profiles":[{"id":"a","name":"A","isGuest":false}]})",
             R"([])",
             R"({"currentProfileID":"default","profiles":[],})",
         })
        EXPECT_FALSE(quorelle::json::decode<AppSettings>(bad)) << bad;
}

TEST(AppSettings, EncodingWritesEverySettingAndOmitsAbsentOptionals) {
    const auto& initial = AppSettings::initial();
    auto json = quorelle::toJson(initial);
    for (const char* key : {"currentProfileID", "selectedStartupProfileID", "profiles", "firstLaunchComplete",
                            "showSyncPage", "showExtensionsPage"})
        EXPECT_TRUE(json.contains(key)) << key;
    EXPECT_EQ(json["firstLaunchComplete"], false);
    EXPECT_FALSE(json["profiles"][0].contains("avatarURL"));
    EXPECT_FALSE(json["profiles"][0].contains("themePresetID"));
    EXPECT_EQ(json["profiles"][0]["id"], "default");
    EXPECT_EQ(json["profiles"][1]["isGuest"], true);

    // Round trip loses only the fraction of a second of the dates.
    auto back = quorelle::json::decode<AppSettings>(json.dump());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->profiles.size(), 2u);
    EXPECT_EQ(back->profiles[0].createdAt.iso8601(), initial.profiles[0].createdAt.iso8601());
    EXPECT_EQ(&AppSettings::initial(), &initial);
    EXPECT_EQ(BrowserProfile::defaultProfile().createdAt, BrowserProfile::defaultProfile().createdAt);
}

TEST(BrowserProfile, OptionalsRoundTrip) {
    auto p = profile("x");
    p.avatarURL = "";
    p.themePresetID = "ocean";
    auto json = quorelle::toJson(p);
    EXPECT_EQ(json["avatarURL"], "");  // a present empty value is kept
    auto back = quorelle::json::decode<BrowserProfile>(json.dump());
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, p);
}

}  // namespace
