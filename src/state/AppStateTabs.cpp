// Opening, closing, selecting and ordering tabs; omnibox input and editing.
#include "model/BrowserNavigation.h"
#include "model/PersistedTab.h"
#include "state/AppState.h"
#include "state/IWebContent.h"

#include <algorithm>

namespace quorelle {
namespace {

using TabPtr = AppState::TabPtr;

}  // namespace

std::string AppState::freshTabAddress() const {
    if (settings().newTabBehavior == NewTabBehavior::homepage) return settings().homepage;
    return InternalPageRoute(InternalPageRoute::newtab).vxURL();
}

void AppState::newTab(std::optional<std::string> url) {
    auto tab = makeTab(url ? *url : freshTabAddress());
    tabs.modify([&](std::vector<TabPtr>& list) { list.push_back(tab); });
    activeTabID.set(tab->id());
    syncOmniboxFromTab();
    persistSession();
}

void AppState::duplicateTab(const TabPtr& tab) { newTab(tab->urlString.get()); }

void AppState::newTabAdjacent(const TabPtr& tab, TabAdjacentSide side) {
    auto fresh = makeTab(freshTabAddress());
    const auto index = tabIndex(tab->id());
    if (!index) return;
    const auto at = static_cast<std::ptrdiff_t>(*index + (side == TabAdjacentSide::right ? 1 : 0));
    tabs.modify([&](std::vector<TabPtr>& list) { list.insert(list.begin() + at, fresh); });
    activeTabID.set(fresh->id());
    syncOmniboxFromTab();
    services_.webContent.navigate(fresh, fresh->urlString.get(), *this, false);
    persistSession();
}

void AppState::closeTab(const TabPtr& tab) {
    if (tabs.get().size() < 2) {
        navigateActive(InternalPageRoute(InternalPageRoute::newtab).vxURL());
        return;
    }
    const Uuid closing = tab->id();
    services_.webContent.removeHost(closing);
    tabs.modify([&](std::vector<TabPtr>& list) {
        std::erase_if(list, [&](const TabPtr& t) { return t->id() == closing; });
    });
    if (activeTabID.get() == closing) {
        activeTabID.set(tabs.get().empty() ? std::nullopt : std::optional<Uuid>(tabs.get().back()->id()));
    }
    syncOmniboxFromTab();
    persistSession();
    reloadTabListPageIfActive();
}

void AppState::closeInactiveTabs() {
    const auto active = activeTabID.get();
    if (!active) return;
    std::vector<Uuid> dropped;
    tabs.modify([&](std::vector<TabPtr>& list) {
        std::erase_if(list, [&](const TabPtr& t) {
            const bool drop = t->id() != *active && !t->isLoading.get();
            if (drop) dropped.push_back(t->id());
            return drop;
        });
    });
    // The dropped tabs' pages would otherwise keep running unseen.
    for (const auto& id : dropped) services_.webContent.removeHost(id);
    if (tabs.get().empty()) {
        newTab(std::nullopt);
    }
    persistSession();
    reloadTabListPageIfActive();
}

void AppState::selectTab(const TabPtr& tab) {
    activeTabID.set(tab->id());
    isEditingOmnibox.set(false);
    syncOmniboxFromTab();
}

void AppState::moveTab(const std::set<std::size_t>& fromOffsets, std::size_t toOffset) {
    tabs.modify([&](std::vector<TabPtr>& list) {
        std::vector<TabPtr> moved;
        std::vector<TabPtr> rest;
        std::size_t destination = std::min(toOffset, list.size());
        std::size_t movedBefore = 0;
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (fromOffsets.count(i)) {
                moved.push_back(list[i]);
                if (i < destination) ++movedBefore;
            } else {
                rest.push_back(list[i]);
            }
        }
        const auto at = static_cast<std::ptrdiff_t>(destination - movedBefore);
        rest.insert(rest.begin() + at, moved.begin(), moved.end());
        list = std::move(rest);
    });
}

void AppState::pinTab(const TabPtr& tab) {
    tab->isPinned.set(!tab->isPinned.get());
    if (!tab->isPinned.get()) return;
    const auto index = tabIndex(tab->id());
    if (!index) return;
    tabs.modify([&](std::vector<TabPtr>& list) {
        auto pinned = list[*index];
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(*index));
        list.insert(list.begin(), pinned);
    });
}

void AppState::reloadTab(const TabPtr& tab) { services_.webContent.reload(tab, *this); }

void AppState::persistSession() {
    std::vector<PersistedTab> session;
    session.reserve(tabs.get().size());
    for (const auto& t : tabs.get()) session.push_back({t->id(), t->title.get(), t->urlString.get(), t->groupID.get()});
    profileData.modify([&](ProfileData& d) { d.settings.lastSessionTabs = std::move(session); });
    persist();
}

// ---- navigation ---------------------------------------------------------------

void AppState::navigateActive(std::string_view text) {
    auto tab = activeTab();
    if (!tab) return;
    applyNavigation(BrowserNavigation::resolve(text, settings().resolvedSearchEngine()), tab);
}

void AppState::applyNavigation(const NavigationTarget& target, const TabPtr& tab) {
    const auto* page = target.asInternalPage();
    if (page && page->route == InternalPageRoute::history && (isGuestWindow_ || currentProfile().isGuest)) {
        toastMessage.set("History is not available in Guest mode");
        return;
    }
    const std::string address = BrowserNavigation::urlString(target);
    tab->urlString.set(address);
    tab->updateInternalState();
    if (target.isInternal()) {
        const bool isNewTab = page && page->route == InternalPageRoute::newtab;
        tab->title.set(page ? (isNewTab ? "New Tab" : std::string(page->route.displayTitle())) : "Page not found");
        tab->isInternal.set(true);
        tab->isSecure.set(true);
        tab->applyInternalFavicon();
    } else {
        tab->isInternal.set(false);
        tab->applyInternalFavicon();  // none until the page names its own
    }
    const bool internal = target.isInternal();
    postForOpenTab(tab, [tab, address, internal](AppState& self) {
        self.syncOmniboxFromTab();
        auto& web = self.services_.webContent;
        if (internal && web.hasHost(tab->id())) web.clearLastLoadedCanonicalURL(tab->id());
        web.navigate(tab, address, self, false);
    });
}

void AppState::handleOmniboxSubmit(std::string_view text) {
    isEditingOmnibox.set(false);
    showOmniboxSuggestions.set(false);
    navigateActive(text);
}

void AppState::beginOmniboxEditing() {
    isEditingOmnibox.set(true);
    auto tab = activeTab();
    omniboxText.set(BrowserNavigation::displayText(tab.get()));
}

void AppState::endOmniboxEditing() {
    isEditingOmnibox.set(false);
    showOmniboxSuggestions.set(false);
    syncOmniboxFromTab();
}

void AppState::setSidebar(SidebarKind kind, bool remember) {
    sidebarKind.set(kind);
    if (!remember) return;
    profileData.modify([&](ProfileData& d) { d.settings.sidebarKind = kind; });
    persist();
}

}  // namespace quorelle
