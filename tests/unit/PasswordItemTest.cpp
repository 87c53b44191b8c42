#include "model/JsonCodec.h"
#include "model/NeverSaveSite.h"
#include "model/PasswordItem.h"
#include "model/PasswordSavePrompt.h"
#include "model/PasswordUpdatePrompt.h"
#include "model/SecureCredentialReference.h"

#include <gtest/gtest.h>

#include <set>

using quorelle::Date;
using quorelle::Json;
using quorelle::PasswordItem;
using quorelle::SecureCredentialReference;
using quorelle::Uuid;
namespace json = quorelle::json;

namespace {

PasswordItem sampleItem() {
    PasswordItem item{.websiteURL = "https://example.com/login", .domain = "example.com"};
    item.username = "ann";
    item.createdAt = Date{700000000.25};
    item.modifiedAt = Date{700000001.5};
    return item;
}

TEST(PasswordItem, MinimalItemHasEmptyTextAndOneCreationMoment) {
    Date before = Date::now();
    PasswordItem item{.websiteURL = "https://a.example", .domain = "a.example"};
    Date after = Date::now();
    EXPECT_EQ(item.username, "");
    EXPECT_EQ(item.email, "");
    EXPECT_EQ(item.notes, "");
    EXPECT_EQ(item.createdAt, item.modifiedAt);
    EXPECT_LE(before, item.createdAt);
    EXPECT_LE(item.createdAt, after);
    EXPECT_NE(item.id, PasswordItem{}.id);
}

TEST(PasswordItem, KeysAndFileNameUseUpperCaseId) {
    PasswordItem item;
    item.id = *Uuid::parse("6f9619ff-8b86-d011-b42d-00c04fc964ff");
    EXPECT_EQ(item.itemKey(), "6F9619FF-8B86-D011-B42D-00C04FC964FF");
    EXPECT_EQ(item.metadataFileName(), "password-6F9619FF-8B86-D011-B42D-00C04FC964FF.json");
    auto reference = SecureCredentialReference::forItem(item);
    EXPECT_EQ(reference.id, item.id);
    EXPECT_EQ(reference.keychainAccount, "6F9619FF-8B86-D011-B42D-00C04FC964FF");
}

TEST(PasswordItem, EncodesExactlyEightKeysWithNumericDates) {
    auto item = sampleItem();
    auto j = toJson(item);
    std::set<std::string> keys;
    for (const auto& [key, value] : j.items()) keys.insert(key);
    EXPECT_EQ(keys, (std::set<std::string>{"id", "websiteURL", "domain", "username", "email", "notes", "createdAt",
                                           "modifiedAt"}));
    EXPECT_TRUE(j["createdAt"].is_number());
    EXPECT_EQ(j["createdAt"].get<double>(), 700000000.25);

    auto compact = json::dumpCompact(j);
    EXPECT_EQ(compact.find('\n'), std::string::npos);
    EXPECT_EQ(json::decode<PasswordItem>(compact), item);  // fractions survive
}

TEST(PasswordItem, EveryKeyIsRequired) {
    const auto full = toJson(sampleItem());
    for (const auto& [key, value] : full.items()) {
        auto j = full;
        j.erase(key);
        EXPECT_FALSE(json::decode<PasswordItem>(j.dump())) << "without " << key;
    }
}

TEST(PasswordItem, DatesMustBeNumbers) {
    auto j = toJson(sampleItem());
    j["createdAt"] = 700000000;  // whole seconds are fine
    EXPECT_EQ(json::decode<PasswordItem>(j.dump())->createdAt, Date{700000000});
    j["createdAt"] = "2023-03-07T12:00:00Z";
    EXPECT_FALSE(json::decode<PasswordItem>(j.dump()));
    j["createdAt"] = true;
    EXPECT_FALSE(json::decode<PasswordItem>(j.dump()));
}

TEST(PasswordItem, EqualityComparesEveryField) {
    auto a = sampleItem();
    auto b = a;
    EXPECT_EQ(a, b);
    b.notes = "changed";
    EXPECT_NE(a, b);
}

TEST(SecureCredentialReference, RoundTripAndRequiredKeys) {
    SecureCredentialReference reference{Uuid::random(), "ACCOUNT"};
    auto j = toJson(reference);
    EXPECT_EQ(j.size(), 2u);
    EXPECT_EQ(json::decode<SecureCredentialReference>(j.dump()), reference);
    EXPECT_FALSE(json::decode<SecureCredentialReference>(R"({"keychainAccount":"A"})"));
    EXPECT_FALSE(json::decode<SecureCredentialReference>(R"({"id":"6f9619ff-8b86-d011-b42d-00c04fc964ff"})"));
    auto bad = Json::array({j, Json{{"id", "x"}, {"keychainAccount", "A"}}});
    EXPECT_FALSE(json::decode<std::vector<SecureCredentialReference>>(bad.dump()));
}

TEST(NeverSaveSite, RoundTrip) {
    quorelle::NeverSaveSite site{"example.com"};
    EXPECT_EQ(json::decode<quorelle::NeverSaveSite>(toJson(site).dump()), site);
    EXPECT_FALSE(json::decode<quorelle::NeverSaveSite>("{}"));
    EXPECT_EQ(std::hash<quorelle::NeverSaveSite>{}(site), std::hash<quorelle::NeverSaveSite>{}({"example.com"}));
}

TEST(PasswordPrompts, EachPromptHasItsOwnId) {
    quorelle::PasswordSavePrompt a("example.com", "ann", "secret", "https://example.com/login");
    quorelle::PasswordSavePrompt b("example.com", "ann", "secret", "https://example.com/login");
    EXPECT_NE(a.id(), b.id());
    EXPECT_EQ(a.domain(), "example.com");
    EXPECT_EQ(a.password(), "secret");
    EXPECT_EQ(a.url(), "https://example.com/login");

    auto item = sampleItem();
    quorelle::PasswordUpdatePrompt update(item, "new-secret");
    EXPECT_EQ(update.item(), item);
    EXPECT_EQ(update.newPassword(), "new-secret");
    EXPECT_NE(update.id(), quorelle::PasswordUpdatePrompt(item, "new-secret").id());
}

}  // namespace
