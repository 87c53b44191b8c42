#include "model/JsonCodec.h"
#include "model/ProxyProfile.h"

#include <gtest/gtest.h>

using quorelle::Json;
using quorelle::ProxyProfile;
using quorelle::ProxyType;
namespace json = quorelle::json;

namespace {

Json validProxy() {
    return Json{{"id", "6F9619FF-8B86-D011-B42D-00C04FC964FF"},
                {"name", "Office"},
                {"type", "socks5"},
                {"host", "proxy.example"},
                {"port", 1080},
                {"username", ""},
                {"password", ""},
                {"isEnabled", true}};
}

std::optional<ProxyProfile> decode(const Json& j) { return json::decode<ProxyProfile>(j.dump()); }

TEST(ProxyType, RawValuesAndDisplayNamesInOfferOrder) {
    const auto& all = ProxyType::allCases();
    ASSERT_EQ(all.size(), 4u);
    const char* raw[] = {"http", "https", "socks4", "socks5"};
    const char* names[] = {"HTTP", "HTTPS", "SOCKS4", "SOCKS5"};
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].rawValue(), raw[i]);
        EXPECT_EQ(all[i].displayName(), names[i]);
        EXPECT_EQ(ProxyType::fromRawValue(raw[i]), all[i]);
    }
    EXPECT_EQ(ProxyType::fromRawValue("HTTP"), std::nullopt);
    EXPECT_EQ(ProxyType::fromRawValue("socks"), std::nullopt);
}

TEST(ProxyProfile, DefaultsAndFreshIds) {
    ProxyProfile a;
    ProxyProfile b;
    EXPECT_EQ(a.name, "Proxy");
    EXPECT_EQ(a.type, ProxyType::http);
    EXPECT_EQ(a.host, "");
    EXPECT_EQ(a.port, 8080);
    EXPECT_EQ(a.username, "");
    EXPECT_EQ(a.password, "");
    EXPECT_FALSE(a.isEnabled);
    EXPECT_NE(a.id, b.id);
    EXPECT_NE(a, b);
}

TEST(ProxyProfile, EmptyCredentialsAreWrittenAndRoundTrip) {
    ProxyProfile p;
    p.host = "10.0.0.1";
    auto j = toJson(p);
    ASSERT_EQ(j.size(), 8u);
    EXPECT_EQ(j["username"], "");
    EXPECT_EQ(j["password"], "");
    EXPECT_EQ(j["id"], p.id.toString());
    EXPECT_EQ(j["type"], "http");
    EXPECT_EQ(decode(j), p);
}

TEST(ProxyProfile, Socks5DecodesAndUnknownKeysAreIgnored) {
    auto j = validProxy();
    j["comment"] = "ignored";
    auto p = decode(j);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->type, ProxyType::socks5);
    EXPECT_EQ(p->type.displayName(), "SOCKS5");
    EXPECT_EQ(p->port, 1080);
    EXPECT_TRUE(p->isEnabled);
}

TEST(ProxyProfile, EveryKeyIsRequiredWithItsType) {
    for (const char* key : {"id", "name", "type", "host", "port", "username", "password", "isEnabled"}) {
        auto j = validProxy();
        j.erase(key);
        EXPECT_FALSE(decode(j)) << "without " << key;
    }
    auto withValue = [](const char* key, Json value) {
        auto j = validProxy();
        j[key] = std::move(value);
        return decode(j);
    };
    EXPECT_FALSE(withValue("type", "socks"));
    EXPECT_FALSE(withValue("type", "HTTP"));
    EXPECT_FALSE(withValue("port", 80.5));
    EXPECT_FALSE(withValue("port", "8080"));
    EXPECT_FALSE(withValue("password", nullptr));
    EXPECT_FALSE(withValue("isEnabled", 1));
    EXPECT_FALSE(withValue("id", "not-a-uuid"));
    EXPECT_EQ(withValue("port", -1)->port, -1);  // any integer is kept
}

TEST(ProxyProfile, OneBadProfileFailsTheWholeList) {
    auto bad = validProxy();
    bad["type"] = "ftp";
    Json list = Json::array({validProxy(), bad});
    EXPECT_FALSE(json::decode<std::vector<ProxyProfile>>(list.dump()));
    EXPECT_EQ(json::decode<std::vector<ProxyProfile>>(Json::array({validProxy()}).dump())->size(), 1u);
}

}  // namespace
