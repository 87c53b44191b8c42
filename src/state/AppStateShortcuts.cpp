// New-tab shortcuts and the refresh of the internal page in front.
#include "model/QuorelleAssets.h"
#include "model/RecordList.h"
#include "state/AppState.h"
#include "state/IFavicons.h"
#include "state/IWebContent.h"

namespace quorelle {

void AppState::updateShortcut(const ShortcutItem& shortcut) {
    ShortcutItem edited = shortcut;
    if (!edited.faviconURL && !QuorelleAssets::isInternalURL(edited.url)) {
        edited.faviconURL = services_.favicons.cached(edited.url);
        // A late favicon must not land in a profile switched to in the meantime.
        fetchFaviconForCurrentProfile(edited.url, [id = edited.id](AppState& self, const std::string& favicon) {
            auto index = records::indexOf(self.profileData.get().shortcuts, id);
            if (!index) return;
            self.profileData.modify([&](ProfileData& d) { d.shortcuts[*index].faviconURL = favicon; });
            self.persist();
            self.reloadNewTabIfActive();
        });
    }
    profileData.modify([&](ProfileData& d) { records::replaceOrAppend(d.shortcuts, edited); });
    persist();
    reloadNewTabIfActive();
}

void AppState::deleteShortcut(const ShortcutItem& shortcut) {
    // A copy: the caller's shortcut may be an entry of the list being edited.
    const Uuid id = shortcut.id;
    profileData.modify([&](ProfileData& d) { records::erase(d.shortcuts, id); });
    persist();
    reloadNewTabIfActive();
}

void AppState::duplicateShortcut(const ShortcutItem& shortcut) {
    ShortcutItem copy = shortcut;
    copy.id = Uuid::random();
    copy.sortOrder = records::nextSortOrder(profileData.get().shortcuts);
    profileData.modify([&](ProfileData& d) { d.shortcuts.push_back(copy); });
    persist();
    reloadNewTabIfActive();
}

void AppState::resetShortcutsToDefault() {
    profileData.modify([](ProfileData& d) { d.shortcuts = ShortcutItem::defaultShortcuts(); });
    persist();
    reloadNewTabIfActive();
}

void AppState::reloadInternalPageIfActive(InternalPageRoute route) {
    auto tab = activeTab();
    if (!tab || !tab->internalRoute.get() || *tab->internalRoute.get() != route) return;
    services_.webContent.reloadInternal(tab, *this);
}

void AppState::reloadTabListPageIfActive() {
    for (auto route : {InternalPageRoute::sessions, InternalPageRoute::performance, InternalPageRoute::memory})
        reloadInternalPageIfActive(route);
}

}  // namespace quorelle
