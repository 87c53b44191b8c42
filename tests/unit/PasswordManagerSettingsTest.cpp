#include "model/JsonCodec.h"
#include "model/PasswordManagerSettings.h"

#include <gtest/gtest.h>

using quorelle::Json;
using quorelle::PasswordManagerSettings;
namespace json = quorelle::json;

namespace {

TEST(PasswordManagerSettings, DefaultIsAllOnExceptAutoSignIn) {
    EXPECT_EQ(PasswordManagerSettings::defaults(), (PasswordManagerSettings{true, true, false, true, true}));
}

TEST(PasswordManagerSettings, RoundTripAndEveryKeyRequired) {
    PasswordManagerSettings s{false, true, true, false, true};
    auto j = toJson(s);
    EXPECT_EQ(j.size(), 5u);
    EXPECT_EQ(json::decode<PasswordManagerSettings>(j.dump()), s);
    for (const auto& [key, value] : j.items()) {
        auto missing = j;
        missing.erase(key);
        EXPECT_FALSE(json::decode<PasswordManagerSettings>(missing.dump())) << "without " << key;
        auto mistyped = j;
        mistyped[key] = 1;
        EXPECT_FALSE(json::decode<PasswordManagerSettings>(mistyped.dump())) << key << " as a number";
    }
}

}  // namespace
