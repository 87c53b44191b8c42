#include "web/InternalPageContext.h"

#include "web/InternalHTMLStyles.h"

namespace quorelle {

std::optional<std::string> InternalPageContext::cachedFaviconFor(const std::string& pageURL) const {
    if (!cachedFavicon) return std::nullopt;
    return cachedFavicon(pageURL);
}

ProfileData InternalPageContext::storedProfileData(const std::string& profileID) const {
    if (!loadProfileData) return ProfileData::empty();
    return loadProfileData(profileID);
}

std::string InternalPageContext::wrap(std::string_view title, std::string_view body,
                                      std::string_view extraHead) const {
    return InternalHTMLStyles::wrap(title, body, profileData.theme, extraHead, bridgeToken);
}

}  // namespace quorelle
