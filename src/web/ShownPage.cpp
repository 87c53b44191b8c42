#include "web/ShownPage.h"

#include "model/BrowserTab.h"

namespace quorelle {

ShownPage ShownPage::of(const BrowserTab& tab) {
    return ShownPage{tab.urlString.get(), tab.title.get(),     tab.isInternal.get(),   tab.internalRoute.get(),
                     tab.isSecure.get(),  tab.faviconURL.get(), tab.faviconLetter.get()};
}

bool ShownPage::isNamedBy(const BrowserTab& tab) const {
    return tab.urlString.get() == urlString && tab.isInternal.get() == isInternal;
}

void ShownPage::restore(BrowserTab& tab) const {
    tab.urlString.set(urlString);
    tab.title.set(title);
    tab.isInternal.set(isInternal);
    tab.internalRoute.set(internalRoute);
    tab.isSecure.set(isSecure);
    tab.faviconURL.set(faviconURL);
    tab.faviconLetter.set(faviconLetter);
}

}  // namespace quorelle
