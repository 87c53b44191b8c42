// Tab groups, and the website data stores the window's web views use.
#include "state/AppState.h"
#include "state/IWebsiteData.h"
#include "store/MainQueue.h"

namespace quorelle {

void AppState::createTabGroup(std::string_view name, TabGroupColor color) {
    TabGroup group;
    group.name = std::string(name);
    group.color = color;
    // Only the new group learns about the tab; a group it was in before keeps
    // listing it.
    if (auto tab = activeTab()) {
        group.tabIDs = {tab->id()};
        tab->groupID.set(group.id);
    }
    profileData.modify([&](ProfileData& d) { d.tabGroups.push_back(group); });
    persist();
}

void AppState::clearWebsiteData(std::function<void()> completion) {
    // The persistent store is cleared from every window, a guest window too;
    // a guest window's own stores live only in memory anyway. The answer is
    // handed to the main queue so the caller always hears back on a later
    // turn, whichever thread the web engine finished on.
    MainQueue& queue = mainQueue();
    services_.websiteData.clearWebsiteData([&queue, completion = std::move(completion)] {
        if (completion) queue.post(completion);
    });
}

WebsiteDataStoreKind AppState::dataStoreForCurrentProfile() const {
    return isGuest() ? WebsiteDataStoreKind::nonPersistent : WebsiteDataStoreKind::defaultPersistent;
}

}  // namespace quorelle
