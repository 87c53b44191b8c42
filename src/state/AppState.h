#pragma once

#include "model/AppSettings.h"
#include "model/Bookmark.h"
#include "model/BrowserSettings.h"
#include "model/BrowserTab.h"
#include "model/InternalPageRoute.h"
#include "model/NavigationTarget.h"
#include "model/PasswordItem.h"
#include "model/PasswordSavePrompt.h"
#include "model/PasswordUpdatePrompt.h"
#include "model/ProfileData.h"
#include "model/Published.h"
#include "model/ShortcutItem.h"
#include "model/Uuid.h"
#include "model/Json.h"
#include "model/TabGroup.h"
#include "model/ThemeSettings.h"
#include "model/UserAgentSettings.h"
#include "state/TabAdjacentSide.h"
#include "state/WebsiteDataStoreKind.h"

#include <sigc++/signal.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quorelle {

class DataStore;
class IClipboard;
class IFavicons;
class IIdentity;
class IKeychain;
class IProxyTester;
class IWebContent;
class IWebsiteData;
class MainQueue;
struct ThemePreset;

// The process-wide objects a window's state works with. They are made in
// main() and outlive every state.
struct AppStateServices {
    DataStore& store;
    MainQueue& mainQueue;
    IWebContent& webContent;  // the per-tab web views
    IFavicons& favicons;
    IIdentity& identity;
    IProxyTester& proxyTester;
    IWebsiteData& websiteData;
    IKeychain& keychain;
    IClipboard& clipboard;
};

// The observable state behind a window group: the app settings, the current
// profile's data, the open tabs and the window's flags, plus every operation
// a user can perform on them. Each operation that changes kept data saves at
// once; a guest window never writes.
//
// Made only through create(), because queued work holds the state weakly.
// The operations are defined in one source file per concern
// (AppState*.cpp). Main thread only.
class AppState : public std::enable_shared_from_this<AppState> {
    struct Token {};

public:
    using TabPtr = std::shared_ptr<BrowserTab>;

    static std::shared_ptr<AppState> create(bool guestWindow, AppStateServices services);
    AppState(Token, bool guestWindow, AppStateServices services);
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    // Fired before any published property below changes.
    sigc::signal<void()>& signalObjectWillChange() { return objectWillChange_; }

private:
    sigc::signal<void()> objectWillChange_;  // before the properties that point at it
    bool isGuestWindow_;
    AppStateServices services_;

public:
    // ---- published properties ---------------------------------------------
    Published<AppSettings> appSettings;
    Published<ProfileData> profileData;
    Published<std::vector<TabPtr>> tabs;
    Published<std::optional<Uuid>> activeTabID;
    Published<std::string> omniboxText;
    Published<bool> isEditingOmnibox;
    Published<bool> showOmniboxSuggestions;
    Published<SidebarKind> sidebarKind;
    Published<std::optional<PasswordSavePrompt>> showPasswordSavePrompt;
    Published<std::optional<PasswordUpdatePrompt>> showPasswordUpdatePrompt;
    Published<std::optional<std::string>> proxyTestResult;
    Published<std::optional<std::string>> proxyTestError;
    Published<std::optional<std::string>> toastMessage;
    Published<bool> passwordsUnlocked;
    Published<std::vector<PasswordItem>> passwordItems;
    Published<std::vector<std::string>> developerLog;
    Published<bool> showNewTabCustomize;
    Published<bool> showShortcutsEditor;
    Published<std::optional<Bookmark>> editingBookmark;
    Published<std::optional<ShortcutItem>> editingShortcut;
    Published<bool> showInspectorPanel;
    Published<std::optional<Uuid>> inspectorTabID;
    Published<bool> showNewBookmarkSheet;

    // ---- computed ------------------------------------------------------------
    bool isGuestWindow() const { return isGuestWindow_; }
    bool isGuest() const;
    BrowserProfile currentProfile() const;
    TabPtr activeTab() const;
    // Whether `tab` is one of this state's tabs (a closed tab is not).
    bool isOpen(const TabPtr& tab) const;
    const ThemeSettings& theme() const { return profileData.get().theme; }
    const BrowserSettings& settings() const { return profileData.get().settings; }
    DataStore& store() const { return services_.store; }
    MainQueue& mainQueue() const { return services_.mainQueue; }
    IWebContent& webContent() const { return services_.webContent; }
    IFavicons& favicons() const { return services_.favicons; }
    IKeychain& keychain() const { return services_.keychain; }
    IClipboard& clipboard() const { return services_.clipboard; }

    // ---- start-up, saving, address text, developer log (AppState.cpp) --------
    void persist();
    void syncOmniboxFromTab();
    void applyDarkDefaultTheme();
    void reloadPasswordMetadata();
    void log(std::string_view message);
    static constexpr std::size_t developerLogLimit = 500;

    // ---- tabs, navigation and the omnibox (AppStateTabs.cpp) -----------------
    void newTab(std::optional<std::string> url = std::nullopt);
    void duplicateTab(const TabPtr& tab);
    void newTabAdjacent(const TabPtr& tab, TabAdjacentSide side);
    void closeTab(const TabPtr& tab);
    void closeInactiveTabs();
    void selectTab(const TabPtr& tab);
    void moveTab(const std::set<std::size_t>& fromOffsets, std::size_t toOffset);
    void pinTab(const TabPtr& tab);
    void reloadTab(const TabPtr& tab);
    void persistSession();
    void navigateActive(std::string_view text);
    void handleOmniboxSubmit(std::string_view text);
    void beginOmniboxEditing();
    void endOmniboxEditing();
    void setSidebar(SidebarKind kind, bool remember = true);

    // ---- shortcuts and internal-page refresh (AppStateShortcuts.cpp) ---------
    void updateShortcut(const ShortcutItem& shortcut);
    void deleteShortcut(const ShortcutItem& shortcut);
    void duplicateShortcut(const ShortcutItem& shortcut);
    void resetShortcutsToDefault();
    void reloadInternalPageIfActive(InternalPageRoute route);
    void reloadNewTabIfActive() { reloadInternalPageIfActive(InternalPageRoute::newtab); }
    void reloadHistoryPageIfActive() { reloadInternalPageIfActive(InternalPageRoute::history); }
    void reloadBookmarksPageIfActive() { reloadInternalPageIfActive(InternalPageRoute::bookmarks); }
    void reloadProfilesPageIfActive() { reloadInternalPageIfActive(InternalPageRoute::profiles); }
    void reloadProxyPageIfActive() { reloadInternalPageIfActive(InternalPageRoute::proxy); }
    // The sessions, performance and memory pages, which list the open tabs.
    void reloadTabListPageIfActive();

    // ---- history, bookmarks, folders, downloads (AppStateHistory.cpp,
    //      AppStateBookmarks.cpp) ----------------------------------------------
    void addHistory(std::string_view title, std::string_view url);
    void clearHistory();
    void removeHistory(const HistoryItem& item);
    bool isBookmarked(std::string_view url) const;
    void toggleBookmark();
    void createBookmark(std::string_view title, std::string_view url, std::optional<Uuid> folderID,
                        std::optional<std::string> customIconURL);
    void updateBookmark(const Bookmark& bookmark);
    void deleteBookmark(const Bookmark& bookmark);
    void moveBookmark(const Uuid& bookmarkID, std::optional<Uuid> folderID);
    void createBookmarkFolder(std::string_view name);
    void renameBookmarkFolder(const Uuid& id, std::string_view name);
    void deleteBookmarkFolder(const Uuid& id);
    std::string folderName(const std::optional<Uuid>& folderID) const;
    void addDownload(std::string_view fileName, std::string_view sourceURL, std::optional<std::string> localPath,
                     std::optional<std::int64_t> size);
    void clearDownloads();

    // ---- profiles, themes, user agent (AppStateProfiles.cpp, AppStateThemes.cpp)
    void switchProfile(std::string_view id);
    void createProfile(std::string_view name);
    void updateProfile(std::string_view id, std::optional<std::string> name, std::optional<std::string> avatarURL,
                       bool resetAvatar, std::optional<std::string> themePresetID,
                       std::optional<std::string> searchEngineID, std::optional<std::string> backgroundImageURL);
    void renameProfile(std::string_view id, std::string_view name);
    void deleteProfile(std::string_view id);
    void applyPreset(const ThemePreset& preset);
    void applyTheme(const ThemeSettings& theme);
    void setBackgroundImageURL(std::optional<std::string> url);
    void setUserAgentPreset(UserAgentPreset preset, std::optional<std::string> custom);
    void reloadThemedInternalPages();

    // ---- saved logins (AppStateLogins.cpp) ------------------------------------
    void savePasswordItem(const PasswordItem& item, std::string_view password);
    std::optional<std::string> passwordForItem(const PasswordItem& item) const;
    void deletePassword(const PasswordItem& item);

    // ---- tab groups and website data (AppStateTabGroups.cpp) ------------------
    void createTabGroup(std::string_view name, TabGroupColor color);
    void clearWebsiteData(std::function<void()> completion);
    WebsiteDataStoreKind dataStoreForCurrentProfile() const;
    static WebsiteDataStoreKind guestDataStore() { return WebsiteDataStoreKind::nonPersistent; }

    // ---- theme colour edits and proxy profiles (AppStateProxies.cpp,
    //      AppStateThemes.cpp) ------------------------------------------------------
    void updateThemeColor(std::string_view key, std::string_view value);
    static constexpr std::string_view saveProxyFirstMessage = "Save a proxy profile first";
    void testProxy(std::optional<std::string> profileID);
    void saveProxyFromMessage(const Json& message);
    void deleteProxy(const Uuid& id);

    // ---- internal-page actions (AppStateDispatcher.cpp) -----------------------
    // `message` is the object an internal page posted; one without an
    // "action" string does nothing.
    void handleInternalMessage(const Json& message);

private:
    void start();
    // Failed saves of the data store become toasts of this (main) window.
    void showSaveFailures();
    void loadStartupProfile();
    void runFirstLaunch();
    void persistProfileDataOnly();
    void bootstrapTabs();
    // Makes the profile the current and launch one, loads its data and starts
    // the window over with one New Tab tab.
    void enterProfile(std::string_view id);
    void scheduleInitialLoad();
    void applyGuestWindowTheme();
    void applyNavigation(const NavigationTarget& target, const TabPtr& tab);
    std::string freshTabAddress() const;
    TabPtr makeTab(const std::string& address) const;
    // Runs `work` on the main queue, provided this state still exists then.
    void postWeak(std::function<void(AppState&)> work);
    // Like postWeak, but the work runs only while `tab` is still one of the
    // tabs: a tab closed before the queue gets to it is never loaded (its
    // load would give the closed tab a web view that nothing releases).
    void postForOpenTab(const TabPtr& tab, std::function<void(AppState&)> work);
    // Looks the page's favicon up on the network and hands it to `apply`,
    // provided this state still exists and the profile it was asked for is
    // still the current one.
    void fetchFaviconForCurrentProfile(const std::string& pageURL,
                                       std::function<void(AppState&, const std::string&)> apply);
    // The position of the open tab with this id.
    std::optional<std::size_t> tabIndex(const Uuid& id) const;

    bool appSettingsFileWasDamaged_ = false;
    std::shared_ptr<void> saveFailureListening_;
};

}  // namespace quorelle
