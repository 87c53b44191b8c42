#include "model/BrowserNavigation.h"

#include "model/BrowserTab.h"
#include "model/GLibPtr.h"
#include "model/QuorelleAssets.h"
#include "model/SearchEngine.h"
#include "model/Text.h"
#include "model/UrlParts.h"

namespace quorelle {
namespace {

constexpr std::string_view kInternalPrefix = InternalPageRoute::urlPrefix;

// Canonical form, then the page it names or "not found".
NavigationTarget internalTarget(std::string_view text) {
    std::string canonical = BrowserNavigation::canonicalInternalURL(text);
    if (auto route = InternalPageRoute::from(canonical)) return NavigationTarget::internalPage(*route);
    return NavigationTarget::internalNotFound(std::move(canonical));
}

// The file URL of an existing absolute path, or nothing.
std::optional<std::string> existingFileURL(const std::string& path) {
    if (!g_file_test(path.c_str(), G_FILE_TEST_EXISTS)) return std::nullopt;
    GCharPtr uri(g_filename_to_uri(path.c_str(), nullptr, nullptr));
    if (!uri) return std::nullopt;
    return std::string(uri.get());
}

std::optional<NavigationTarget> resolveByScheme(const std::string& text) {
    auto parts = UrlParts::parse(text);
    if (!parts || !parts->scheme) return std::nullopt;
    if (text::lowercased(*parts->scheme) == BrowserNavigation::internalScheme) return internalTarget(text);
    if (parts->hasWebScheme()) return NavigationTarget::webURL(text);
    return std::nullopt;
}

std::optional<NavigationTarget> resolveAsHost(const std::string& text) {
    if (text::contains(text, " ") || !text::contains(text, ".")) return std::nullopt;
    std::string candidate = text::startsWith(text, "http://") || text::startsWith(text, "https://")
                                ? text
                                : "https://" + text;
    if (!UrlParts::parse(candidate)) return std::nullopt;
    return NavigationTarget::webURL(std::move(candidate));
}

}  // namespace

NavigationTarget BrowserNavigation::resolve(std::string_view input, const SearchEngine& searchEngine) {
    const std::string text = text::trimmed(input);
    if (text.empty()) return NavigationTarget::internalPage(InternalPageRoute::newtab);
    if (hasInternalScheme(text)) return internalTarget(text);
    if (text::startsWith(text, "file://")) return NavigationTarget::webURL(text);
    if (text::startsWith(text, "/")) {
        if (auto fileURL = existingFileURL(text)) return NavigationTarget::webURL(std::move(*fileURL));
    }
    if (auto target = resolveByScheme(text)) return std::move(*target);
    if (auto target = resolveAsHost(text)) return std::move(*target);
    if (auto search = searchEngine.searchURL(text)) return NavigationTarget::webURL(std::move(*search));
    return NavigationTarget::webURL(text);
}

std::string BrowserNavigation::canonicalInternalURL(std::string_view address) {
    const std::string text = text::trimmed(address);
    const std::string lower = text::lowercased(text);
    if (text.empty() || lower == "vx://" || lower == "vx:///" || !text::startsWith(lower, kInternalPrefix))
        return std::string(newTabURL);
    // Lower-casing can change byte lengths, but "vx://" is ASCII in both forms,
    // so the first five bytes of the text as typed are the scheme.
    std::string_view first = InternalPageRoute::firstComponent(std::string_view(text).substr(kInternalPrefix.size()));
    if (first.empty() || text::lowercased(first) == "internal") return std::string(newTabURL);
    return std::string(kInternalPrefix) + std::string(first);
}

std::string BrowserNavigation::urlString(const NavigationTarget& target) {
    if (auto page = target.asInternalPage()) return page->route.vxURL();
    if (auto missing = target.asInternalNotFound()) return missing->canonicalURL;
    return target.asWebURL()->url;
}

std::string BrowserNavigation::displayText(const BrowserTab* tab) {
    if (!tab) return {};
    const std::string& address = tab->urlString.get();
    return displayText(isBlockedInternalArtifact(address) ? newTabURL : std::string_view(address));
}

std::string BrowserNavigation::displayText(std::string_view resolvedURL) {
    auto route = InternalPageRoute::from(resolvedURL);
    if (route && *route == InternalPageRoute::newtab) return {};
    const bool artifact = isBlockedInternalArtifact(resolvedURL);
    if (QuorelleAssets::isInternalURL(resolvedURL) && !artifact) return canonicalInternalURL(resolvedURL);
    if (artifact) return {};
    return std::string(resolvedURL);
}

bool BrowserNavigation::hasInternalScheme(std::string_view address) {
    return text::startsWith(text::lowercased(address), kInternalPrefix);
}

bool BrowserNavigation::isBlockedInternalArtifact(std::string_view urlString) {
    const std::string lower = text::lowercased(urlString);
    return text::contains(lower, "vx://internal") || lower == "about:blank";
}

}  // namespace quorelle
