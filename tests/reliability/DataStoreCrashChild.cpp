// Saves two distinguishable large profiles (and app settings) in turn into
// the data folder given as the only argument, forever, until it is killed.
// Prints "ready" once both values are built and saving is about to begin.
#include "model/ProfileData.h"
#include "store/DataStore.h"
#include "reliability/DataStoreCrashValues.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    using namespace quorelle;
    const ProfileData profiles[2] = {testing::crashProfile(0), testing::crashProfile(1)};
    const AppSettings settings[2] = {testing::crashSettings(0), testing::crashSettings(1)};
    DataStore store(argv[1]);
    std::puts("ready");
    std::fflush(stdout);
    for (unsigned long round = 1;; ++round) {
        store.saveAppSettings(settings[round % 2]);
        store.saveProfileData(profiles[round % 2], testing::crashProfileID);
    }
}
