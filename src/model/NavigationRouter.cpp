#include "model/NavigationRouter.h"

#include "model/BrowserNavigation.h"
#include "model/UrlParts.h"

namespace quorelle {

std::string NavigationRouter::resolve(std::string_view input, const SearchEngine& searchEngine) {
    return BrowserNavigation::urlString(BrowserNavigation::resolve(input, searchEngine));
}

std::string NavigationRouter::normalizeVX(std::string_view address) {
    return BrowserNavigation::canonicalInternalURL(address);
}

bool NavigationRouter::isValidWebURL(std::string_view address) {
    auto parts = UrlParts::parse(address);
    return parts && parts->hasWebScheme();
}

}  // namespace quorelle
