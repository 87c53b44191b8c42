// Quorelle's entry point. It first catches the signals that ask it to quit,
// makes sure there is a display and that this process has the data folder to
// itself; then it makes every process-wide object, the two browser states
// (the main windows' and the guest window's), and runs the application.
// Nothing here is global; each object is handed to those that use it and
// outlives them.
#include "app/AccessibilityBridge.h"
#include "app/DataFolderInUse.h"
#include "app/FileSizeLimit.h"
#include "app/GraphicsMode.h"
#include "app/HolderNote.h"
#include "app/NameLeftBehind.h"
#include "app/QuitSignals.h"
#include "app/QuorelleApplication.h"
#include "app/UnsavedDataNotice.h"
#include "app/UserFolderCheck.h"
#include "model/GLibPtr.h"
#include "platform/KeychainService.h"
#include "state/AppState.h"
#include "store/DataFolderLock.h"
#include "store/DataFolderTidy.h"
#include "store/DataStore.h"
#include "store/MainQueue.h"
#include "web/BrowserIdentityManager.h"
#include "web/CommandBus.h"
#include "web/FaviconService.h"
#include "web/InspectorService.h"
#include "web/LocalResourceScheme.h"
#include "web/ProxyTester.h"
#include "web/TabWebViewHost.h"
#include "web/TabWebViewStore.h"
#include "web/WebContentServices.h"
#include "web/WebsiteDataService.h"
#include "window/FaviconImageCache.h"
#include "window/FileDialogs.h"
#include "window/OpenFileCommand.h"
#include "window/QuorelleLogoCache.h"
#include "window/ScriptDialogs.h"
#include "window/SystemClipboard.h"

#include <gio/gio.h>
#include <glib.h>
#include <gtk/gtk.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

using namespace quorelle;

// Where the browser keeps its files, and the user's folders the web
// engine's sandbox takes entries of into each web process.
struct Folders {
    std::string data = g_get_user_data_dir();
    std::string cache = g_get_user_cache_dir();

    std::string browserData() const { return data + "/QuorelleData"; }
    WebsiteDataService::Folders websiteData() const { return {data + "/QuorelleWebData", cache + "/QuorelleWebData"}; }

    std::vector<UserFolderCheck::Folder> browsers() const {
        const auto web = websiteData();
        return {{"data folder", browserData()}, {"website data folder", web.data}, {"website cache folder", web.cache}};
    }
    // The data folder's own problems are the lock's to tell.
    static std::vector<UserFolderCheck::Folder> sandboxed() {
        return {{"home folder", g_get_home_dir()},
                {"configuration folder", g_get_user_config_dir()},
                {"cache folder", g_get_user_cache_dir()},
                {"runtime folder", runtime()}};
    }
    // The runtime folder GLib gives, worked out as it does but without
    // making it: without XDG_RUNTIME_DIR, GLib gives the cache folder and
    // makes it on the spot, as whoever asks, before anything has checked
    // whose the folder around it is.
    static std::string runtime() {
        const char* set = g_getenv("XDG_RUNTIME_DIR");
        return set && *set ? set : g_get_user_cache_dir();
    }
    // Every folder the process would make entries in: the browser's, and
    // the user's that the toolkit, the web engine and the services they
    // start write into.
    std::vector<UserFolderCheck::Folder> all() const {
        auto folders = browsers();
        for (auto& folder : sandboxed()) folders.push_back(std::move(folder));
        return folders;
    }
};

// A file-size limit (ulimit -f) the web engine can run under must not end
// the browser in the middle of a save: with SIGXFSZ ignored, a write past
// the limit fails with "File too large" instead, which the save reports and
// keeps for its next try. An ignored signal stays ignored across exec, so
// the web engine's helper processes, and whatever else the browser starts,
// are spared too.
void ignoreFileSizeLimitSignal() { std::signal(SIGXFSZ, SIG_IGN); }

// Whether GDK_BACKEND (a comma-separated list, "*" for any) lets the toolkit
// try `backend`; without it, it tries every one.
bool backendAllowed(const char* backend) {
    const char* chosen = g_getenv("GDK_BACKEND");
    if (!chosen || !*chosen) return true;
    GLibPtr<char*, g_strfreev> names(g_strsplit(chosen, ",", -1));
    for (char** name = names.get(); *name; ++name) {
        const std::string trimmed = g_strstrip(*name);
        if (trimmed == "*" || trimmed == backend) return true;
    }
    return false;
}

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const auto& part : parts) text += (text.empty() ? "" : separator) + part;
    return text;
}

// The displays the toolkit was pointed at and allowed to use, for the
// message that none opened.
std::string displayNames() {
    std::vector<std::string> set, empty;
    for (const auto& [backend, variable] : {std::pair{"wayland", "WAYLAND_DISPLAY"}, std::pair{"x11", "DISPLAY"}}) {
        if (!backendAllowed(backend)) continue;
        const char* value = g_getenv(variable);
        if (value && *value)
            set.push_back(value);
        else
            empty.push_back(variable);
    }
    if (!set.empty()) return joined(set, ", ");
    if (empty.empty()) return "GDK_BACKEND=" + std::string(g_getenv("GDK_BACKEND")) + " allows neither X11 nor Wayland";
    return "none is set (" + joined(empty, " and ") + (empty.size() == 1 ? " is" : " are") + " empty)";
}

// Without a display nothing can be shown, and the web engine cannot start:
// said on stderr before anything else happens. False then. The program's
// name is set first, as the application would set it later: the toolkit
// takes the class of the program's windows from it as the display opens.
bool openDisplay(const char* program) {
    if (!g_get_prgname()) g_set_prgname(program ? GCharPtr(g_path_get_basename(program)).get() : "quorelle");
    if (gtk_init_check()) return true;
    std::fprintf(stderr, "quorelle: cannot open display: %s\n", displayNames().c_str());
    return false;
}

// One process per data folder, decided before anything is read or written:
// two would overwrite each other's saves. Nothing when this process holds
// the folder, else its exit status.
std::optional<int> refusalUnlessHeld(DataFolderLock& lock, QuitSignals& quitSignals) {
    switch (lock.state()) {
        case DataFolderLock::State::held:
            return std::nullopt;
        case DataFolderLock::State::inUse:
            return DataFolderInUse::settle(lock, QuorelleApplication::defaultApplicationID, quitSignals);
        case DataFolderLock::State::unavailable:
            break;
    }
    return DataFolderInUse::reportUnusable(lock, quitSignals);
}

// The note the holder leaves for the starts it keeps out, at each stage.
void noteStage(DataFolderLock& lock, const std::optional<std::string>& bus, HolderNote::Stage stage) {
    lock.leaveNote(HolderNote{::getpid(), bus, stage}.text());
}

// Makes every other process-wide object and both browser states over the
// stores, and runs the application until it ends; its exit status. All of
// them are gone when this returns, so nothing saves after it.
int runApplication(const Folders& folders, const GraphicsMode& graphics, DataFolderLock& lock,
                   const std::optional<std::string>& bus, QuitSignals& quitSignals, MainQueue& mainQueue,
                   DataStore& store, DataStore& guestStore) {
    KeychainService keychain;
    SystemClipboard clipboard;

    FileDialogs fileDialogs;
    ScriptDialogs scriptDialogs;
    FaviconService favicons(mainQueue);
    ProxyTester proxyTester(mainQueue);
    WebsiteDataService websiteData(mainQueue, folders.websiteData());
    WebContentServices webServices{websiteData, favicons, &fileDialogs, &scriptDialogs, graphics.hardware()};
    TabWebViewStore webViews(mainQueue, webServices);
    BrowserIdentityManager identity([&webViews](const Uuid& tabID) -> IUserAgentView* { return webViews.host(tabID); });
    CommandBus commandBus(mainQueue);
    InspectorService inspector(mainQueue);
    FaviconImageCache faviconImages(QuorelleLogoCache::shared());

    auto appState = AppState::create(false, AppStateServices{store, mainQueue, webViews, favicons, identity,
                                                             proxyTester, websiteData, keychain, clipboard});
    UnsavedDataNotice::tellAtStart(store, websiteData, *appState);
    // The guest window's state is made when that window first opens.
    std::weak_ptr<AppState> guestAppState;
    auto makeGuestState = [&] {
        auto made = AppState::create(true, AppStateServices{guestStore, mainQueue, webViews, favicons, identity,
                                                            proxyTester, websiteData, keychain, clipboard});
        guestAppState = made;
        return made;
    };
    // Internal pages get the logo and each window's chosen local background from here.
    LocalResourceScheme localResources([&appState, &guestAppState] {
        std::vector<std::string> chosen;
        for (const auto& state : {appState, guestAppState.lock()})
            if (state)
                if (auto path = LocalResourceScheme::localBackgroundPath(state->theme()))
                    chosen.push_back(std::move(*path));
        return chosen;
    });

    QuorelleApplication::Options options;
    options.window.openFile = OpenFileCommand::handler(fileDialogs);
    options.running = [&] { noteStage(lock, bus, HolderNote::Stage::running); };
    options.quitting = [&] { noteStage(lock, bus, HolderNote::Stage::quitting); };
    options.quitSignals = &quitSignals;
    auto app = QuorelleApplication::create(BrowserServices{mainQueue, webViews, commandBus, inspector, faviconImages},
                                           appState, makeGuestState, options);
    return app->run(0, nullptr);
}

// Runs the browser over the held data folder; its exit status is 1 when
// browsing data could not be saved at the end.
int runBrowser(const Folders& folders, const GraphicsMode& graphics, DataFolderLock& lock,
               const std::optional<std::string>& bus, QuitSignals& quitSignals) {
    MainQueue mainQueue;
    // Both reach the folder this process locked, wherever it is moved to.
    DataStore store(lock, DataStore::Access::readWrite);
    // The guest window reads the same data but never writes any.
    DataStore guestStore(lock, DataStore::Access::readOnly);
    const int status = runApplication(folders, graphics, lock, bus, quitSignals, mainQueue, store, guestStore);
    return UnsavedDataNotice::savedAtQuit(store) ? status : 1;
}

}  // namespace

int main(int argc, char* argv[]) {
    using namespace quorelle;
    // From here on neither SIGTERM nor SIGHUP ends the process by its default
    // action: each step below ends the start, or the application quits, as
    // asked. A start asked to quit before the application runs ends with
    // status 0, having read and written no browsing data.
    QuitSignals quitSignals;
    if (argc > 1) {
        std::fputs("quorelle: Quorelle takes no arguments; type addresses into the omnibox, the address field of "
                   "its window.\n",
                   stderr);
        return 2;
    }
    const Folders folders;
    // Before the display opens: its graphics libraries make caches of their
    // own in the user's folders, and the toolkit, the accessibility bus and
    // the settings service entries in the runtime folder.
    if (auto refusal = UserFolderCheck::refusalForAnotherUsers(folders.all())) return *refusal;
    ignoreFileSizeLimitSignal();
    const auto processStart = DataFolderTidy::Clock::now();
    const auto graphics = GraphicsMode::detect();
    graphics.applyToToolkit();
    AccessibilityBridge::keepOffWithoutSessionBus();
    if (!openDisplay(argc > 0 ? argv[0] : nullptr)) return 1;
    if (auto refusal = FileSizeLimit::refusalIfTooSmall(quitSignals)) return *refusal;

    // Before anything is made or locked.
    if (auto refusal = UserFolderCheck::refusalForTheSandbox(Folders::sandboxed(), quitSignals)) return *refusal;
    if (quitSignals.received()) return 0;
    DataFolderLock lock(folders.browserData());
    const bool heldAtOnce = lock.state() == DataFolderLock::State::held;
    if (auto refusal = refusalUnlessHeld(lock, quitSignals)) return *refusal;
    // What the browser that held the folder before noted, until this one's own note replaces it.
    const std::string previousNote = lock.note();
    // Where this browser answers (by the bus's own id, the same through any
    // address), for the starts it keeps out to know. The connection is kept:
    // the application registers on this same one.
    const auto connection =
        GObjectPtr<GDBusConnection>::adopt(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr));
    const auto bus =
        connection ? std::optional<std::string>(g_dbus_connection_get_guid(connection.get())) : std::nullopt;
    noteStage(lock, bus, HolderNote::Stage::starting);
    if (connection)
        if (auto refusal = NameLeftBehind::waitUntilFree(connection.get(), QuorelleApplication::defaultApplicationID,
                                                         lock, previousNote, quitSignals))
            return *refusal;
    // The folder is left as this start found it, its note too.
    if (quitSignals.received()) {
        lock.leaveNote(previousNote);
        return 0;
    }
    // Only with the folder held: a save another process is making is never
    // cut short. What a browser that held it before left is older than the
    // moment this one took it.
    DataFolderTidy::run(lock, heldAtOnce ? processStart : DataFolderTidy::Clock::now());
    return runBrowser(folders, graphics, lock, bus, quitSignals);
}
