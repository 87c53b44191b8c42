#include "model/QuorelleAssets.h"

#include "model/InternalPageRoute.h"
#include "model/Text.h"
#include "model/UrlParts.h"

namespace quorelle {

bool QuorelleAssets::isInternalURL(std::string_view urlString) {
    return text::trimmedStartsWithIgnoringCase(urlString, InternalPageRoute::urlPrefix);
}

std::optional<std::string> QuorelleAssets::faviconURL(std::string_view pageURL) {
    return faviconURLIfInternal(isInternalURL(pageURL));
}

std::optional<std::string> QuorelleAssets::faviconURLIfInternal(bool isInternal) {
    if (!isInternal) return std::nullopt;
    return std::string(logoFaviconReference);
}

bool QuorelleAssets::isQuorelleLogo(const std::optional<std::string>& value) {
    if (!value) return false;
    return *value == logoFaviconReference || *value == logoAssetName || text::endsWith(*value, "/QuorelleLogo.png");
}

std::string QuorelleAssets::faviconLetter(std::string_view urlString, std::string_view title) {
    if (isInternalURL(urlString)) return "Q";
    if (auto parts = UrlParts::parse(urlString); parts && parts->host) {
        std::string_view host = *parts->host;
        while (!host.empty() && host.front() == '.') host.remove_prefix(1);
        std::string_view label = host.substr(0, host.find('.'));
        if (!label.empty()) return text::uppercased(text::firstCharacter(label));
    }
    return text::uppercased(text::firstCharacter(title));
}

}  // namespace quorelle
