#pragma once

// The two values the crash test alternates between. Both sides build them
// from the same deterministic recipe, so the test knows every file's bytes.

#include "model/AppSettings.h"
#include "model/ProfileData.h"
#include "unit/DataStoreSampleProfile.h"

namespace quorelle::testing {

inline constexpr const char* crashProfileID = "0f7c8a6e-5d1b-4c55-9a1e-3b2f6f0e9d11";

inline ProfileData crashProfile(int which) { return makeSampleProfile(static_cast<std::uint32_t>(100 + which)); }

inline AppSettings crashSettings(int which) {
    AppSettings settings = AppSettings::initial();
    for (auto& profile : settings.profiles) profile.createdAt = sampleDate(which);
    settings.profiles.push_back(BrowserProfile{crashProfileID, which ? "Second" : "First", false, false,
                                               sampleDate(0), std::nullopt, std::nullopt});
    settings.showSyncPage = which == 1;
    settings.firstLaunchComplete = true;
    return settings;
}

}  // namespace quorelle::testing
