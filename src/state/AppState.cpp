#include "state/AppState.h"

#include "model/BrowserNavigation.h"
#include "model/RecordList.h"
#include "model/ThemePreset.h"
#include "state/IFavicons.h"
#include "state/IWebContent.h"
#include "store/DataStore.h"
#include "store/MainQueue.h"

#include <algorithm>

namespace quorelle {

std::shared_ptr<AppState> AppState::create(bool guestWindow, AppStateServices services) {
    auto state = std::make_shared<AppState>(Token{}, guestWindow, services);
    state->start();
    return state;
}

AppState::AppState(Token, bool guestWindow, AppStateServices services)
    : isGuestWindow_(guestWindow),
      services_(services),
      appSettings(AppSettings::initial(), &objectWillChange_),
      profileData(ProfileData::empty(), &objectWillChange_),
      tabs({}, &objectWillChange_),
      activeTabID(std::nullopt, &objectWillChange_),
      omniboxText("", &objectWillChange_),
      isEditingOmnibox(false, &objectWillChange_),
      showOmniboxSuggestions(false, &objectWillChange_),
      sidebarKind(SidebarKind::none, &objectWillChange_),
      showPasswordSavePrompt(std::nullopt, &objectWillChange_),
      showPasswordUpdatePrompt(std::nullopt, &objectWillChange_),
      proxyTestResult(std::nullopt, &objectWillChange_),
      proxyTestError(std::nullopt, &objectWillChange_),
      toastMessage(std::nullopt, &objectWillChange_),
      passwordsUnlocked(false, &objectWillChange_),
      passwordItems({}, &objectWillChange_),
      developerLog({}, &objectWillChange_),
      showNewTabCustomize(false, &objectWillChange_),
      showShortcutsEditor(false, &objectWillChange_),
      editingBookmark(std::nullopt, &objectWillChange_),
      editingShortcut(std::nullopt, &objectWillChange_),
      showInspectorPanel(false, &objectWillChange_),
      inspectorTabID(std::nullopt, &objectWillChange_),
      showNewBookmarkSheet(false, &objectWillChange_) {}

// ---- start-up ---------------------------------------------------------------

void AppState::start() {
    if (!isGuestWindow_) showSaveFailures();
    auto loaded = services_.store.loadAppSettings();
    appSettingsFileWasDamaged_ = loaded.damaged();
    loaded.value.normalizeProfiles();
    appSettings.set(std::move(loaded.value));

    if (isGuestWindow_) {
        profileData.set(ProfileData::makeNew());
        applyGuestWindowTheme();
    } else {
        loadStartupProfile();
    }
    const bool restoreSidebar = settings().restoreSidebarOnLaunch && !isGuestWindow_;
    sidebarKind.set(restoreSidebar ? settings().sidebarKind : SidebarKind(SidebarKind::none));
    bootstrapTabs();
    reloadPasswordMetadata();
    scheduleInitialLoad();
}

void AppState::loadStartupProfile() {
    appSettings.modify([](AppSettings& s) { s.setStartupProfile(s.selectedStartupProfileID); });
    profileData.set(services_.store.loadProfileData(appSettings.get().selectedStartupProfileID));
    // A settings file that exists but could not be read means the browser has
    // run before: its first-launch set-up must not run again over the user's
    // profiles and theme.
    if (appSettingsFileWasDamaged_)
        appSettings.modify([](AppSettings& s) { s.firstLaunchComplete = true; });
    if (!appSettings.get().firstLaunchComplete) runFirstLaunch();
}

void AppState::runFirstLaunch() {
    applyDarkDefaultTheme();
    appSettings.modify([](AppSettings& s) {
        s.firstLaunchComplete = true;
        s.normalizeProfiles();
        s.setStartupProfile(s.selectedStartupProfileID);
    });
    services_.store.saveAppSettings(appSettings.get());
    persistProfileDataOnly();
}

void AppState::applyGuestWindowTheme() {
    const ThemePreset* midnight = ThemePreset::find("midnight");
    if (!midnight) {
        applyDarkDefaultTheme();
        return;
    }
    profileData.modify([midnight](ProfileData& d) {
        d.theme.colors = midnight->colors;
        d.theme.background.kind = ThemeBackground::BackgroundKind::solid;
        d.theme.background.solidColor = midnight->colors.newTabBackground;
        d.theme.background.gradientStart = midnight->colors.browserFrame;
        d.theme.background.gradientEnd = midnight->colors.newTabBackground;
        d.theme.background.imagePath = std::nullopt;
        d.theme.useDarkMode = true;
        d.theme.customThemeName = std::nullopt;
    });
}

void AppState::applyDarkDefaultTheme() {
    profileData.modify([](ProfileData& d) { d.theme = ThemeSettings::chromeDefault(true); });
}

void AppState::bootstrapTabs() {
    auto tab = makeTab(InternalPageRoute(InternalPageRoute::newtab).vxURL());
    activeTabID.set(tab->id());
    tabs.set({tab});
    syncOmniboxFromTab();
}

void AppState::scheduleInitialLoad() {
    auto tab = activeTab();
    if (!tab) return;
    postForOpenTab(tab, [tab](AppState& self) {
        self.services_.webContent.navigate(tab, tab->urlString.get(), self, false);
    });
}

// ---- saving -------------------------------------------------------------------

void AppState::persist() {
    if (isGuestWindow_) return;
    appSettings.modify([](AppSettings& s) { s.normalizeProfiles(); });
    appSettings.modify([](AppSettings& s) {
        if (s.currentProfileID != AppSettings::guestProfileID)
            s.selectedStartupProfileID = AppSettings::sanitizeStartupProfileID(s.currentProfileID, s.profiles);
    });
    appSettings.modify([](AppSettings& s) { s.currentProfileID = s.selectedStartupProfileID; });
    services_.store.saveAppSettings(appSettings.get());
    services_.store.saveProfileData(profileData.get(), appSettings.get().selectedStartupProfileID);
}

void AppState::showSaveFailures() {
    std::weak_ptr<AppState> weak = weak_from_this();
    saveFailureListening_ = services_.store.tellSaveFailures(services_.mainQueue, [weak](const std::string& message) {
        if (auto self = weak.lock()) self->toastMessage.set(message);
    });
}

void AppState::persistProfileDataOnly() {
    if (isGuestWindow_) return;
    services_.store.saveProfileData(profileData.get(), appSettings.get().selectedStartupProfileID);
}

// ---- computed -----------------------------------------------------------------

bool AppState::isGuest() const { return isGuestWindow_ || currentProfile().isGuest; }

BrowserProfile AppState::currentProfile() const {
    if (isGuestWindow_) return BrowserProfile::guestProfile();
    const auto& settings = appSettings.get();
    if (auto* startup = AppSettings::findNonGuestProfile(settings.profiles, settings.selectedStartupProfileID))
        return *startup;
    if (auto* fallback = records::find(settings.profiles, AppSettings::defaultProfileID)) return *fallback;
    return BrowserProfile::defaultProfile();
}

AppState::TabPtr AppState::activeTab() const {
    const auto& all = tabs.get();
    if (!activeTabID.get()) return all.empty() ? nullptr : all.front();
    auto index = tabIndex(*activeTabID.get());
    return index ? all[*index] : nullptr;
}

bool AppState::isOpen(const TabPtr& tab) const {
    const auto& all = tabs.get();
    return std::find(all.begin(), all.end(), tab) != all.end();
}

std::optional<std::size_t> AppState::tabIndex(const Uuid& id) const {
    const auto& all = tabs.get();
    auto it = std::find_if(all.begin(), all.end(), [&](const TabPtr& t) { return t->id() == id; });
    if (it == all.end()) return std::nullopt;
    return static_cast<std::size_t>(it - all.begin());
}

// ---- address text, developer log, helpers -------------------------------------

void AppState::syncOmniboxFromTab() {
    if (isEditingOmnibox.get()) return;
    auto tab = activeTab();
    omniboxText.set(BrowserNavigation::displayText(tab.get()));
}

void AppState::log(std::string_view message) {
    if (!settings().developerMode || !settings().advancedLogging) return;
    developerLog.modify([&](std::vector<std::string>& lines) {
        lines.push_back("[" + Date::now().iso8601() + "] " + std::string(message));
        if (lines.size() > developerLogLimit)
            lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(lines.size() - developerLogLimit));
    });
}

void AppState::postWeak(std::function<void(AppState&)> work) {
    std::weak_ptr<AppState> weak = weak_from_this();
    services_.mainQueue.post([weak, work = std::move(work)] {
        if (auto self = weak.lock()) work(*self);
    });
}

void AppState::postForOpenTab(const TabPtr& tab, std::function<void(AppState&)> work) {
    postWeak([tab, work = std::move(work)](AppState& self) {
        if (self.isOpen(tab)) work(self);
    });
}

void AppState::fetchFaviconForCurrentProfile(const std::string& pageURL,
                                             std::function<void(AppState&, const std::string&)> apply) {
    std::weak_ptr<AppState> weak = weak_from_this();
    const std::string profileID = appSettings.get().selectedStartupProfileID;
    services_.favicons.fetchFromNetwork(
        pageURL, [weak, profileID, apply = std::move(apply)](std::optional<std::string> favicon) {
            auto self = weak.lock();
            if (!self || !favicon || self->appSettings.get().selectedStartupProfileID != profileID) return;
            apply(*self, *favicon);
        });
}

AppState::TabPtr AppState::makeTab(const std::string& address) const {
    BrowserTab::Options options;
    options.title = "New Tab";
    options.urlString = address;
    return std::make_shared<BrowserTab>(options);
}

}  // namespace quorelle
