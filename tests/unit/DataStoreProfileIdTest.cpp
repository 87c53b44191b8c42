// Profile ids that could escape the profiles folder never form a path, and
// removing a profile folder stays inside root/profiles.
#include "model/ProfileData.h"
#include "store/DataStore.h"
#include "unit/DataStoreSampleProfile.h"
#include "unit/DataStoreTestSupport.h"

#include <gtest/gtest.h>

using namespace quorelle;
using quorelle::testing::TemporaryFolder;

namespace {

const std::vector<std::string> unusableIDs = {
    "", ".", "..", "/x", "a/b", "default/", "../..", "/", std::string("x\0y", 3), std::string("\0", 1)};

TEST(DataStoreProfileID, UnusableIdsAreRejectedAndOrdinaryOnesAccepted) {
    for (const auto& id : unusableIDs) EXPECT_FALSE(BrowserProfile::isUsableID(id)) << id;
    for (const char* id : {"default", "guest", "0f7c8a6e-5d1b-4c55-9a1e-3b2f6f0e9d11", "...", ".hidden", "a b", "x.."})
        EXPECT_TRUE(BrowserProfile::isUsableID(id)) << id;
}

TEST(DataStoreProfileID, UnusableIdsGiveNoFolderAndCreateNothing) {
    TemporaryFolder temp;
    DataStore store(temp + "QuorelleData");
    for (const auto& id : unusableIDs) EXPECT_FALSE(store.profileDirectory(id).has_value()) << id;
    EXPECT_TRUE(quorelle::testing::listNames(temp.path()).empty());
}

TEST(DataStoreProfileID, LoadsWithUnusableIdsGiveTheFallbacksWithoutTouchingTheDisk) {
    TemporaryFolder temp;
    DataStore writer(temp + "QuorelleData");
    ProfileData saved = quorelle::testing::makeSampleProfile(1, {10, 10, 2, 3});
    writer.saveProfileData(saved, "x");  // what "x\0y" would reach if the id were cut at the NUL
    writer.flush();
    for (const char* name : {"bookmarks.json", "history.json"})  // what ".." would reach: root itself
        std::filesystem::copy_file(temp + ("QuorelleData/profiles/x/" + std::string(name)),
                                   temp + ("QuorelleData/" + std::string(name)));
    for (const auto& id : unusableIDs) {
        ProfileData loaded = writer.loadProfileData(id);
        EXPECT_TRUE(loaded.history.empty()) << id;
        EXPECT_TRUE(loaded.bookmarks.empty()) << id;
    }
    EXPECT_EQ(quorelle::testing::listNames(temp + "QuorelleData"),
              (std::vector<std::string>{"bookmarks.json", "history.json", "profiles"}));
    EXPECT_EQ(quorelle::testing::listNames(temp + "QuorelleData/profiles"), std::vector<std::string>{"x"});

    TemporaryFolder fresh;
    DataStore untouched(fresh + "QuorelleData");
    for (const auto& id : unusableIDs) untouched.loadProfileData(id);
    EXPECT_TRUE(quorelle::testing::listNames(fresh.path()).empty()) << "not even the root may be created";
}

TEST(DataStoreProfileID, SavesWithUnusableIdsWriteNothing) {
    TemporaryFolder temp;
    DataStore store(temp + "QuorelleData");
    for (const auto& id : unusableIDs) store.saveProfileData(ProfileData::empty(), id);
    store.flush();
    EXPECT_TRUE(quorelle::testing::listNames(temp.path()).empty());
    store.saveAppSettings(AppSettings::initial());
    for (const auto& id : unusableIDs) store.saveProfileData(ProfileData::empty(), id);
    store.flush();
    EXPECT_EQ(quorelle::testing::listNames(temp + "QuorelleData"), std::vector<std::string>{"appSettings.json"});
}

TEST(DataStoreProfileID, RemovingAProfileFolderDeletesItAndNothingElse) {
    TemporaryFolder root;
    DataStore store(root.path());
    store.saveAppSettings(AppSettings::initial());
    store.saveProfileData(ProfileData::empty(), "default");
    store.saveProfileData(ProfileData::empty(), "doomed");
    store.saveProfileData(ProfileData::empty(), "kept");
    EXPECT_TRUE(store.removeProfileDirectory("doomed"));
    EXPECT_EQ(quorelle::testing::listNames(root + "profiles"), (std::vector<std::string>{"default", "kept"}));
    EXPECT_FALSE(store.removeProfileDirectory("doomed")) << "nothing left to remove";
    EXPECT_EQ(quorelle::testing::listNames(root + "profiles/kept").size(), 11u);
}

TEST(DataStoreProfileID, RemovalRefusesUnusableAndReservedIds) {
    TemporaryFolder root;
    DataStore store(root.path());
    store.saveAppSettings(AppSettings::initial());
    store.saveProfileData(ProfileData::empty(), "default");
    store.saveProfileData(ProfileData::empty(), "guest");
    store.flush();
    for (const auto& id : unusableIDs) EXPECT_FALSE(store.removeProfileDirectory(id)) << id;
    EXPECT_FALSE(store.removeProfileDirectory("default"));
    EXPECT_FALSE(store.removeProfileDirectory("guest"));
    EXPECT_EQ(quorelle::testing::listNames(root.path()), (std::vector<std::string>{"appSettings.json", "profiles"}));
    EXPECT_EQ(quorelle::testing::listNames(root + "profiles"), (std::vector<std::string>{"default", "guest"}));
    EXPECT_EQ(quorelle::testing::listNames(root + "profiles/default").size(), 11u);
}

TEST(DataStoreProfileID, RemovingALinkedProfileFolderRemovesOnlyTheLink) {
    TemporaryFolder root;
    TemporaryFolder elsewhere;
    quorelle::testing::writeBytes(elsewhere + "precious.txt", "keep me");
    DataStore store(root.path());
    store.profileDirectory("default");
    ASSERT_EQ(::symlink(elsewhere.path().c_str(), (root + "profiles/linked").c_str()), 0);
    EXPECT_TRUE(store.removeProfileDirectory("linked"));
    EXPECT_FALSE(quorelle::testing::exists(root + "profiles/linked"));
    EXPECT_EQ(quorelle::testing::readBytes(elsewhere + "precious.txt"), "keep me");
}

TEST(DataStoreProfileID, ReadOnlyStoreRemovesNothing) {
    TemporaryFolder root;
    DataStore(root.path()).saveProfileData(ProfileData::empty(), "p1");
    DataStore reader(root.path(), DataStore::Access::readOnly);
    EXPECT_FALSE(reader.removeProfileDirectory("p1"));
    EXPECT_EQ(quorelle::testing::listNames(root + "profiles/p1").size(), 11u);
}

}  // namespace
