#include "model/BrowserTab.h"
#include "model/OmniboxLeadingIcon.h"

#include <gtest/gtest.h>

#include <memory>

using quorelle::BrowserTab;
using quorelle::InternalPageRoute;
using quorelle::OmniboxLeadingIcon;

namespace {

std::unique_ptr<BrowserTab> tabAt(const std::string& address) {
    return std::make_unique<BrowserTab>(BrowserTab::Options{.urlString = address});
}

OmniboxLeadingIcon iconFor(const std::string& address) { return OmniboxLeadingIcon::forTab(tabAt(address).get()); }

TEST(OmniboxLeadingIcon, NoTabSearches) {
    EXPECT_EQ(OmniboxLeadingIcon::forTab(nullptr), OmniboxLeadingIcon::search);
    EXPECT_EQ(OmniboxLeadingIcon::forTab(nullptr).systemName(), "magnifyingglass");
    EXPECT_EQ(OmniboxLeadingIcon::forTab(nullptr).iconName(), "system-search-symbolic");
}

TEST(OmniboxLeadingIcon, NewTabRouteWinsOverTheInternalFlag) {
    auto tab = tabAt("vx://newtab");
    EXPECT_EQ(OmniboxLeadingIcon::forTab(tab.get()), OmniboxLeadingIcon::newTab);
    tab->isInternal.set(false);
    EXPECT_EQ(OmniboxLeadingIcon::forTab(tab.get()), OmniboxLeadingIcon::newTab);
}

TEST(OmniboxLeadingIcon, InternalPagesIncludingUnknownOnes) {
    EXPECT_EQ(iconFor("vx://settings"), OmniboxLeadingIcon::internalPage);
    auto unknown = tabAt("https://example.com");
    unknown->isInternal.set(true);
    unknown->internalRoute.set(std::nullopt);
    EXPECT_EQ(OmniboxLeadingIcon::forTab(unknown.get()), OmniboxLeadingIcon::internalPage);
    unknown->internalRoute.set(InternalPageRoute(InternalPageRoute::history));
    EXPECT_EQ(OmniboxLeadingIcon::forTab(unknown.get()), OmniboxLeadingIcon::internalPage);
}

TEST(OmniboxLeadingIcon, WebPagesByAddressPrefixOnly) {
    EXPECT_EQ(iconFor("HTTPS://EXAMPLE.COM"), OmniboxLeadingIcon::secure);
    EXPECT_EQ(iconFor("http://example.com"), OmniboxLeadingIcon::insecure);
    EXPECT_EQ(iconFor("file:///home/u/a.html"), OmniboxLeadingIcon::search);
    EXPECT_EQ(iconFor(" https://example.com"), OmniboxLeadingIcon::search);
    auto insecureFlag = tabAt("https://example.com");
    insecureFlag->isSecure.set(false);
    EXPECT_EQ(OmniboxLeadingIcon::forTab(insecureFlag.get()), OmniboxLeadingIcon::secure);
    auto empty = tabAt("https://example.com");
    empty->urlString.set("");
    EXPECT_EQ(OmniboxLeadingIcon::forTab(empty.get()), OmniboxLeadingIcon::search);
}

TEST(OmniboxLeadingIcon, SymbolNamesPerCase) {
    using I = OmniboxLeadingIcon;
    EXPECT_EQ(I(I::secure).systemName(), "lock.fill");
    EXPECT_EQ(I(I::insecure).systemName(), "exclamationmark.triangle.fill");
    EXPECT_EQ(I(I::internalPage).systemName(), "laptopcomputer");
    EXPECT_EQ(I(I::newTab).systemName(), "magnifyingglass");
    EXPECT_EQ(I(I::secure).iconName(), "channel-secure-symbolic");
    EXPECT_EQ(I(I::insecure).iconName(), "dialog-warning-symbolic");
    EXPECT_EQ(I(I::internalPage).iconName(), "computer-symbolic");
    EXPECT_EQ(I(I::newTab).iconName(), "system-search-symbolic");
    EXPECT_NE(I(I::newTab), I(I::search));
}

}  // namespace
