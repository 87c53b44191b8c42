#include "model/JsonCodec.h"
#include "model/SearchEngine.h"

#include <gtest/gtest.h>

using quorelle::SearchEngine;

namespace {

TEST(SearchEngine, BuiltInEnginesInOrder) {
    const auto& all = SearchEngine::builtIn();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0].id, "google");
    EXPECT_EQ(all[1].id, "duckduckgo");
    EXPECT_EQ(all[1].name, "DuckDuckGo");
    EXPECT_EQ(all[2].id, "bing");
    EXPECT_EQ(all[3].id, "yahoo");
    for (const auto& engine : all) EXPECT_EQ(engine.urlTemplate.rfind("https://", 0), 0u) << engine.id;
    EXPECT_EQ(SearchEngine::yahoo().searchURL("x"), "https://search.yahoo.com/search?p=x");
}

TEST(SearchEngine, QueryIsEncodedAsOneQueryComponent) {
    EXPECT_EQ(SearchEngine::google().searchURL("cats and dogs"), "https://www.google.com/search?q=cats%20and%20dogs");
    EXPECT_EQ(SearchEngine::google().searchURL("AT&T c++ a=b"),
              "https://www.google.com/search?q=AT%26T%20c%2B%2B%20a%3Db");
    EXPECT_EQ(SearchEngine::google().searchURL("100% /?:@#"),
              "https://www.google.com/search?q=100%25%20%2F%3F%3A%40%23");
    EXPECT_EQ(SearchEngine::google().searchURL("日本"), "https://www.google.com/search?q=%E6%97%A5%E6%9C%AC");
    EXPECT_EQ(SearchEngine::google().searchURL("a-b.c_d~e"), "https://www.google.com/search?q=a-b.c_d~e");
    // Invalid UTF-8 is escaped byte for byte, and the address parser refuses
    // the escape that is no UTF-8.
    EXPECT_EQ(SearchEngine::google().searchURL("\xff"), std::nullopt);
}

TEST(SearchEngine, TemplateSubstitution) {
    const SearchEngine twice{"custom", "Custom", "https://s.example/?a=%s&b=%s"};
    EXPECT_EQ(twice.searchURL("q r"), "https://s.example/?a=q%20r&b=q%20r");
    const SearchEngine none{"custom", "Custom", "https://s.example/fixed"};
    EXPECT_EQ(none.searchURL("ignored"), "https://s.example/fixed");
    // Only an absolute address is a search address.
    for (const char* broken : {"https://s example/?q=%s", "", "search?q=%s", "/search?q=%s"})
        EXPECT_EQ((SearchEngine{"custom", "Custom", broken}.searchURL("x")), std::nullopt) << broken;
    // A query that itself holds "%s" is not substituted again.
    EXPECT_EQ(SearchEngine::google().searchURL("%s"), "https://www.google.com/search?q=%25s");
}

TEST(SearchEngine, JsonNeedsAllThreeStrings) {
    auto engine = quorelle::json::decode<SearchEngine>(R"({"id":"x","name":"X","urlTemplate":"https://x/?q=%s"})");
    ASSERT_TRUE(engine);
    EXPECT_EQ(engine->name, "X");
    EXPECT_FALSE(quorelle::json::decode<SearchEngine>(R"({"id":"x","name":"X"})"));
    EXPECT_FALSE(quorelle::json::decode<SearchEngine>(R"({"id":"x","name":7,"urlTemplate":"u"})"));
    EXPECT_EQ(quorelle::toJson(SearchEngine::bing())["urlTemplate"], SearchEngine::bing().urlTemplate);
}

}  // namespace
