#include "web/InternalPages.h"

namespace quorelle::pages {

std::string syncPage(const InternalPageContext& context) {
    return context.wrap("Sync",
                        "<div class=\"page\" style=\"text-align:center;padding-top:48px\">"
                        "<h1>Quorelle Sync</h1>"
                        "<p class=\"desc\">Sync is not currently available.</p>"
                        "<p class=\"desc\">Future versions may support secure sync across your devices.</p>"
                        "</div>");
}

std::string extensionsPage(const InternalPageContext& context) {
    return context.wrap("Extensions",
                        "<div class=\"page\" style=\"text-align:center;padding-top:48px\">"
                        "<h1>Extensions</h1>"
                        "<p class=\"desc\">Extensions are reserved for a future version of Quorelle.</p>"
                        "</div>");
}

}  // namespace quorelle::pages
