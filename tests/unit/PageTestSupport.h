#pragma once

// Small helpers shared by the internal page tests: finding text in a
// rendered document, and a plain context for the default profile.

#include "model/AppSettings.h"
#include "model/BrowserProfile.h"
#include "model/ProfileData.h"
#include "web/InternalPageContext.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace quorelle::testing::pagetest {

inline bool contains(const std::string& haystack, std::string_view needle) {
    return haystack.find(needle) != std::string::npos;
}

// The position of `needle` in `haystack`, failing the test when it is absent.
inline std::size_t at(const std::string& haystack, std::string_view needle) {
    std::size_t position = haystack.find(needle);
    EXPECT_NE(position, std::string::npos) << "missing: " << needle;
    return position;
}

// The default profile with nothing stored, rendered with a fixed bridge token.
inline InternalPageContext plainPageContext() {
    InternalPageContext context;
    context.appSettings = AppSettings::initial();
    context.currentProfile = BrowserProfile::defaultProfile();
    context.profileData = ProfileData::empty();
    context.bridgeToken = "00112233445566778899aabbccddeeff";
    return context;
}

}  // namespace quorelle::testing::pagetest
