// New-tab shortcuts and the refresh of the internal page in front.
#include "model/QuorelleAssets.h"
#include "state/AppState.h"
#include "state/IFavicons.h"
#include "state/IWebContent.h"

#include <algorithm>
#include <limits>

namespace quorelle {

void AppState::updateShortcut(const ShortcutItem& shortcut) {
    ShortcutItem edited = shortcut;
    if (!edited.faviconURL && !QuorelleAssets::isInternalURL(edited.url)) {
        edited.faviconURL = services_.favicons.cached(edited.url);
        // The answer belongs to the profile it was asked for: a late favicon
        // must not land in a profile switched to in the meantime.
        std::weak_ptr<AppState> weak = weak_from_this();
        const std::string profileID = appSettings.get().selectedStartupProfileID;
        const Uuid id = edited.id;
        services_.favicons.fetchFromNetwork(edited.url, [weak, profileID, id](std::optional<std::string> favicon) {
            auto self = weak.lock();
            if (!self || !favicon || self->appSettings.get().selectedStartupProfileID != profileID) return;
            const auto& list = self->profileData.get().shortcuts;
            auto it = std::find_if(list.begin(), list.end(), [&](const ShortcutItem& s) { return s.id == id; });
            if (it == list.end()) return;
            const auto index = static_cast<std::size_t>(it - list.begin());
            self->profileData.modify([&](ProfileData& d) { d.shortcuts[index].faviconURL = *favicon; });
            self->persist();
            self->reloadNewTabIfActive();
        });
    }
    profileData.modify([&](ProfileData& d) {
        auto it = std::find_if(d.shortcuts.begin(), d.shortcuts.end(),
                               [&](const ShortcutItem& s) { return s.id == edited.id; });
        if (it != d.shortcuts.end())
            *it = edited;
        else
            d.shortcuts.push_back(edited);
    });
    persist();
    reloadNewTabIfActive();
}

void AppState::deleteShortcut(const ShortcutItem& shortcut) {
    // A copy: the caller's shortcut may be an entry of the list being edited.
    const Uuid id = shortcut.id;
    profileData.modify([&](ProfileData& d) {
        std::erase_if(d.shortcuts, [&](const ShortcutItem& s) { return s.id == id; });
    });
    persist();
    reloadNewTabIfActive();
}

void AppState::duplicateShortcut(const ShortcutItem& shortcut) {
    ShortcutItem copy = shortcut;
    copy.id = Uuid::random();
    const auto& list = profileData.get().shortcuts;
    std::int64_t highest = 0;
    if (!list.empty())
        highest = std::max_element(list.begin(), list.end(), [](const ShortcutItem& a, const ShortcutItem& b) {
                      return a.sortOrder < b.sortOrder;
                  })->sortOrder;
    // Saturates rather than overflowing on a hand-edited file.
    copy.sortOrder = highest == std::numeric_limits<std::int64_t>::max() ? highest : highest + 1;
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
