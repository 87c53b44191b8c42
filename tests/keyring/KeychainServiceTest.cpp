#include "model/Uuid.h"
#include "platform/KeychainService.h"

#include <gtest/gtest.h>
#include <libsecret/secret.h>

#include <cstdlib>
#include <string>

using namespace std::string_literals;
using quorelle::KeychainService;

namespace {

// The item layout the browser has always used; written out here so that a
// change to it (which would orphan every stored secret) fails the tests.
SecretSchema storedLayout() {
    SecretSchema schema{};
    schema.name = "io.github.quorelle.Quorelle";
    schema.flags = SECRET_SCHEMA_NONE;
    schema.attributes[0] = {"profile", SECRET_SCHEMA_ATTRIBUTE_STRING};
    schema.attributes[1] = {"account", SECRET_SCHEMA_ATTRIBUTE_STRING};
    return schema;
}
const SecretSchema kLayout = storedLayout();

// How many items of the layout hold exactly these attributes, asked of the
// Secret Service itself: libsecret's item objects leave a few bytes behind.
int itemCount(const std::string& profile, const std::string& key) {
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    GVariant* found = nullptr;
    if (bus) {
        GVariantBuilder attributes;
        g_variant_builder_init(&attributes, G_VARIANT_TYPE("a{ss}"));
        g_variant_builder_add(&attributes, "{ss}", "xdg:schema", kLayout.name);
        g_variant_builder_add(&attributes, "{ss}", "profile", profile.c_str());
        g_variant_builder_add(&attributes, "{ss}", "account", key.c_str());
        found = g_dbus_connection_call_sync(bus, "org.freedesktop.secrets", "/org/freedesktop/secrets",
                                            "org.freedesktop.Secret.Service", "SearchItems",
                                            g_variant_new("(a{ss})", &attributes), G_VARIANT_TYPE("(aoao)"),
                                            G_DBUS_CALL_FLAGS_NONE, -1, nullptr, &error);
        g_object_unref(bus);
    }
    if (!found) {
        ADD_FAILURE() << "search failed: " << (error ? error->message : "no session bus");
        if (error) g_error_free(error);
        return -1;
    }
    GVariant* unlocked = g_variant_get_child_value(found, 0);
    GVariant* locked = g_variant_get_child_value(found, 1);
    const int count = static_cast<int>(g_variant_n_children(unlocked) + g_variant_n_children(locked));
    g_variant_unref(unlocked);
    g_variant_unref(locked);
    g_variant_unref(found);
    return count;
}

// Writes an item directly, bypassing the service's own checks.
void storeRawItem(const std::string& profile, const std::string& key, const std::string& bytes) {
    SecretValue* value = secret_value_new(bytes.data(), static_cast<gssize>(bytes.size()), "text/plain");
    GError* error = nullptr;
    const gboolean stored = secret_password_store_binary_sync(&kLayout, SECRET_COLLECTION_DEFAULT, "raw item", value,
                                                              nullptr, &error, "profile", profile.c_str(), "account",
                                                              key.c_str(), nullptr);
    secret_value_unref(value);
    ASSERT_TRUE(stored) << (error ? error->message : "");
    if (error) g_error_free(error);
}

class KeychainServiceTest : public ::testing::Test {
protected:
    // Fresh profile ids, so test cases running side by side in one keyring
    // never touch each other's items.
    const std::string profileA = quorelle::Uuid::random().toLowerString();
    const std::string profileB = quorelle::Uuid::random().toLowerString();
    const std::string account = quorelle::Uuid::random().toString();
    KeychainService keychain;

    void TearDown() override {
        keychain.deleteAllPasswords(profileA);
        keychain.deleteAllPasswords(profileB);
    }
};

TEST_F(KeychainServiceTest, SavedSecretLoadsBackUnderTheItemKeyAndFixedLayout) {
    ASSERT_TRUE(keychain.savePassword("correct horse", account, profileA)) << "no usable Secret Service";
    EXPECT_EQ(keychain.loadPassword(account, profileA), "correct horse");
    EXPECT_EQ(itemCount(profileA, profileA + "." + account), 1);
}

TEST_F(KeychainServiceTest, AccountNeverSavedLoadsAsNone) {
    EXPECT_EQ(keychain.loadPassword(account, profileA), std::nullopt);
}

TEST_F(KeychainServiceTest, SavingTwiceLeavesOneItemHoldingTheSecondSecret) {
    ASSERT_TRUE(keychain.savePassword("first", account, profileA));
    ASSERT_TRUE(keychain.savePassword("second", account, profileA));
    EXPECT_EQ(itemCount(profileA, profileA + "." + account), 1);
    EXPECT_EQ(keychain.loadPassword(account, profileA), "second");
}

TEST_F(KeychainServiceTest, SecretsKeepEveryByteIncludingNulAndNonAscii) {
    const std::string secret = "p\xC3\xA4ss\0w\xF0\x9F\x94\x91rd"s;
    ASSERT_TRUE(keychain.savePassword(secret, account, profileA));
    EXPECT_EQ(keychain.loadPassword(account, profileA), secret);
    ASSERT_TRUE(keychain.savePassword("", account, profileA));
    EXPECT_EQ(keychain.loadPassword(account, profileA), "");
}

TEST_F(KeychainServiceTest, ItemWhoseDataIsNotUtf8LoadsAsNone) {
    storeRawItem(profileA, profileA + "." + account, "ok\xFF\xFE");
    EXPECT_EQ(keychain.loadPassword(account, profileA), std::nullopt);
}

TEST_F(KeychainServiceTest, SecretThatIsNotUtf8IsRefusedAndTheOldOneKept) {
    ASSERT_TRUE(keychain.savePassword("old", account, profileA));
    EXPECT_FALSE(keychain.savePassword("bad\xC3", account, profileA));
    EXPECT_EQ(keychain.loadPassword(account, profileA), "old");
}

TEST_F(KeychainServiceTest, IdsThatAreNotUtf8FailWithoutTouchingTheKeyring) {
    const std::string badProfile = profileA + "\xFF";
    EXPECT_FALSE(keychain.savePassword("s", account, badProfile));
    EXPECT_FALSE(keychain.savePassword("s", account + "\xFF", profileA));
    EXPECT_EQ(keychain.loadPassword(account, badProfile), std::nullopt);
    keychain.deletePassword(account, badProfile);
    keychain.deleteAllPasswords(badProfile);
    EXPECT_EQ(keychain.loadPassword(account, profileA), std::nullopt);
}

TEST_F(KeychainServiceTest, SameAccountUnderTwoProfilesIsTwoItems) {
    ASSERT_TRUE(keychain.savePassword("for A", account, profileA));
    ASSERT_TRUE(keychain.savePassword("for B", account, profileB));
    EXPECT_EQ(keychain.loadPassword(account, profileA), "for A");
    EXPECT_EQ(keychain.loadPassword(account, profileB), "for B");
    keychain.deletePassword(account, profileA);
    EXPECT_EQ(keychain.loadPassword(account, profileA), std::nullopt);
    EXPECT_EQ(keychain.loadPassword(account, profileB), "for B");
}

TEST_F(KeychainServiceTest, KeysThatReadAlikeStayApartByProfile) {
    // "<A>.x" + "." + "y" and "<A>" + "." + "x.y" are the same item key.
    const std::string dotted = profileA + ".x";
    ASSERT_TRUE(keychain.savePassword("one", "y", dotted));
    ASSERT_TRUE(keychain.savePassword("two", "x.y", profileA));
    EXPECT_EQ(keychain.loadPassword("y", dotted), "one");
    EXPECT_EQ(keychain.loadPassword("x.y", profileA), "two");
    keychain.deleteAllPasswords(dotted);
    EXPECT_EQ(keychain.loadPassword("x.y", profileA), "two");
}

TEST_F(KeychainServiceTest, DeletingAnAccountWithoutAnItemDoesNothing) {
    ASSERT_TRUE(keychain.savePassword("kept", "other", profileA));
    keychain.deletePassword(account, profileA);
    keychain.deletePassword(account, profileA);
    EXPECT_EQ(keychain.loadPassword("other", profileA), "kept");
}

TEST_F(KeychainServiceTest, ClearingAProfileRemovesAllItsItemsAndLeavesOtherProfiles) {
    ASSERT_TRUE(keychain.savePassword("a1", "first", profileA));
    ASSERT_TRUE(keychain.savePassword("a2", "second", profileA));
    ASSERT_TRUE(keychain.savePassword("b1", "first", profileB));
    keychain.deleteAllPasswords(profileA);
    EXPECT_EQ(keychain.loadPassword("first", profileA), std::nullopt);
    EXPECT_EQ(keychain.loadPassword("second", profileA), std::nullopt);
    EXPECT_EQ(keychain.loadPassword("first", profileB), "b1");
    keychain.deleteAllPasswords(profileA);  // nothing left: still fine
}

// The bus connection is kept for the life of the process, so the check
// without a Secret Service runs in a freshly started copy of this test binary
// that never reached the keyring before the address was changed.
TEST_F(KeychainServiceTest, WithoutASecretServiceSaveAnswersFalseAndLoadNone) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            g_setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/quorelle-no-bus", TRUE);
            KeychainService offline;
            const bool saved = offline.savePassword("new", account, profileA);
            const bool loaded = offline.loadPassword(account, profileA).has_value();
            offline.deletePassword(account, profileA);
            offline.deleteAllPasswords(profileA);
            std::exit(saved ? 2 : loaded ? 3 : 0);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(keychain.loadPassword(account, profileA), std::nullopt);
}

}  // namespace
