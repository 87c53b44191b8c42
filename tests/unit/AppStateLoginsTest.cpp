#include "model/JsonCodec.h"
#include "support/StateTestSupport.h"

#include <sys/stat.h>

namespace quorelle::testing {
namespace {

class LoginsTest : public StateTest {
protected:
    void SetUp() override { state = makeState(); }

    static PasswordItem item(std::string domain, std::string username = "ada") {
        PasswordItem i;
        i.websiteURL = "https://" + domain + "/login";
        i.domain = std::move(domain);
        i.username = std::move(username);
        i.createdAt = Date{700000000.25};
        i.modifiedAt = i.createdAt;
        return i;
    }
    std::string metadataPath(const PasswordItem& i) const { return profileFile("default", i.metadataFileName()); }
    const std::vector<SecureCredentialReference>& references() const {
        return state->profileData.get().passwordReferences;
    }
    std::vector<std::string> filesInProfile() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(root_ + "/profiles/default"))
            names.push_back(entry.path().filename().string());
        return names;
    }
    std::shared_ptr<AppState> state;
};

TEST_F(LoginsTest, SavingTwiceKeepsOneReferenceOneFileAndTheSecondSecret) {
    auto first = item("mail.example");
    state->savePasswordItem(item("other.example"), "x");
    state->savePasswordItem(first, "old secret");
    auto edited = first;
    edited.notes = "work account";
    state->savePasswordItem(edited, "new secret");

    ASSERT_EQ(references().size(), 2u);
    EXPECT_EQ(references()[1], SecureCredentialReference::forItem(first));  // position kept
    EXPECT_EQ(state->passwordItems.get()[1], edited);
    EXPECT_EQ(state->passwordForItem(first), "new secret");
    EXPECT_EQ(json::decode<PasswordItem>(readFile(metadataPath(first))), edited);
    // The list comes back in the same order after a restart.
    auto restarted = makeState();
    ASSERT_EQ(restarted->passwordItems.get().size(), 2u);
    EXPECT_EQ(restarted->passwordItems.get()[1], edited);
}

TEST_F(LoginsTest, MetadataFileIsCompactPrivateAndHoldsNoSecret) {
    auto i = item("mail.example", "a b\nc");
    state->savePasswordItem(i, "hunter2");
    const std::string text = readFile(metadataPath(i));
    auto document = json::parse(text);
    ASSERT_TRUE(document);
    EXPECT_TRUE((*document)["createdAt"].is_number());
    EXPECT_DOUBLE_EQ((*document)["modifiedAt"].get<double>(), 700000000.25);
    EXPECT_EQ(document->size(), 8u);
    EXPECT_EQ(text.find("hunter2"), std::string::npos);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(text, json::dumpCompact(toJson(i)));  // no blanks outside string values
    EXPECT_NE(metadataPath(i).find(i.id.toString()), std::string::npos);  // upper-case name
    struct stat info {};
    ASSERT_EQ(::stat(metadataPath(i).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(LoginsTest, FailedKeyringStoreSavesNothingAndKeepsTheOldSecret) {
    auto i = item("bank.example");
    state->savePasswordItem(i, "first");
    const std::string before = readFile(metadataPath(i));

    keychain_.available = false;
    auto edited = i;
    edited.notes = "changed";
    state->savePasswordItem(edited, "second");
    state->savePasswordItem(item("new.example"), "third");
    keychain_.available = true;

    EXPECT_EQ(state->toastMessage.get(), "Couldn't save the password to the keyring");
    EXPECT_EQ(references().size(), 1u);
    EXPECT_EQ(readFile(metadataPath(i)), before);
    EXPECT_EQ(state->passwordItems.get(), std::vector<PasswordItem>{i});
    EXPECT_EQ(state->passwordForItem(i), "first");
    EXPECT_EQ(filesInProfile().size(), 12u);  // the eleven profile files and the one login
}

TEST_F(LoginsTest, HandDeletedMetadataHidesTheLoginButKeepsItsReference) {
    auto gone = item("gone.example");
    auto kept = item("kept.example");
    state->savePasswordItem(gone, "a");
    state->savePasswordItem(kept, "b");
    std::filesystem::remove(metadataPath(gone));
    state->reloadPasswordMetadata();
    EXPECT_EQ(state->passwordItems.get(), std::vector<PasswordItem>{kept});
    EXPECT_EQ(references().size(), 2u);
    EXPECT_EQ(state->passwordForItem(gone), "a");
}

TEST_F(LoginsTest, DamagedMetadataIsSkippedAndMovedAsideBeforeARewrite) {
    auto damaged = item("damaged.example");
    auto isoDates = item("iso.example");
    auto fine = item("fine.example");
    for (const auto& i : {damaged, isoDates, fine}) state->savePasswordItem(i, "s");
    std::ofstream(metadataPath(damaged), std::ios::trunc) << "{\"id\": truncated";
    auto iso = toJson(isoDates);
    iso["createdAt"] = "2023-03-01T09:30:00Z";
    std::ofstream(metadataPath(isoDates), std::ios::trunc) << json::dumpCompact(iso);

    auto restarted = makeState();
    EXPECT_EQ(restarted->passwordItems.get(), std::vector<PasswordItem>{fine});
    EXPECT_EQ(readFile(metadataPath(damaged)), "{\"id\": truncated");  // still there

    restarted->savePasswordItem(damaged, "again");
    EXPECT_EQ(json::decode<PasswordItem>(readFile(metadataPath(damaged))), damaged);
    bool keptAside = false;
    for (const auto& name : filesInProfile())
        if (name.starts_with(damaged.metadataFileName() + ".unreadable-")) keptAside = true;
    EXPECT_TRUE(keptAside);
}

TEST_F(LoginsTest, ReloadReadsOnlyTheFileNamedByTheReferenceId) {
    auto i = item("mail.example");
    state->savePasswordItem(i, "s");
    state->profileData.modify([](ProfileData& d) { d.passwordReferences[0].keychainAccount = "../../elsewhere"; });
    state->reloadPasswordMetadata();
    EXPECT_EQ(state->passwordItems.get(), std::vector<PasswordItem>{i});
}

TEST_F(LoginsTest, DeleteRemovesSecretReferenceAndFile) {
    auto i = item("mail.example");
    auto other = item("other.example");
    state->savePasswordItem(i, "s");
    state->savePasswordItem(other, "t");
    state->deletePassword(i);
    EXPECT_FALSE(state->passwordForItem(i));
    EXPECT_FALSE(fileExists(metadataPath(i)));
    EXPECT_EQ(state->passwordItems.get(), std::vector<PasswordItem>{other});
    EXPECT_EQ(makeState()->profileData.get().passwordReferences.size(), 1u);
    state->deletePassword(i);  // already gone: nothing to trip over
    EXPECT_EQ(state->passwordItems.get(), std::vector<PasswordItem>{other});
}

TEST_F(LoginsTest, SecretNeverStoredGivesNone) { EXPECT_FALSE(state->passwordForItem(item("none.example"))); }

TEST_F(LoginsTest, GuestWindowNeitherSavesNorDeletes) {
    auto i = item("mail.example");
    state->savePasswordItem(i, "s");
    auto guest = makeState(true);
    const auto before = snapshot();

    guest->savePasswordItem(item("guest.example"), "g");
    guest->deletePassword(i);

    EXPECT_EQ(keychain_.saveCalls, 1);
    EXPECT_EQ(keychain_.size(), 1u);
    EXPECT_TRUE(guest->profileData.get().passwordReferences.empty());
    EXPECT_TRUE(guest->passwordItems.get().empty());
    EXPECT_FALSE(guest->toastMessage.get());
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(makeState()->passwordItems.get(), std::vector<PasswordItem>{i});
}

TEST_F(LoginsTest, LoginsBelongToTheSelectedProfile) {
    auto i = item("mail.example");
    state->appSettings.modify([](AppSettings& s) {
        BrowserProfile work;
        work.id = "work";
        work.name = "Work";
        s.profiles.push_back(work);
        s.selectedStartupProfileID = "work";
        s.currentProfileID = "work";
    });
    state->savePasswordItem(i, "s");
    EXPECT_TRUE(keychain_.contains(i.itemKey(), "work"));
    EXPECT_TRUE(fileExists(profileFile("work", i.metadataFileName())));
    EXPECT_FALSE(fileExists(metadataPath(i)));
}

}  // namespace
}  // namespace quorelle::testing
