// Quorelle's entry point: makes every process-wide object, the two browser
// states (the main windows' and the guest window's), and runs the
// application. Nothing here is global; each object is handed to those that
// use it and outlives them.
#include "app/DataFolderInUse.h"
#include "app/GraphicsMode.h"
#include "app/QuorelleApplication.h"
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

#include <glib.h>

#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    using namespace quorelle;
    const auto processStart = DataFolderTidy::Clock::now();

    const std::string dataDir = g_get_user_data_dir();
    const std::string cacheDir = g_get_user_cache_dir();
    const std::string dataFolder = dataDir + "/QuorelleData";

    // One process per data folder, decided before anything is read or
    // written: two would overwrite each other's saves.
    const DataFolderLock lock(dataFolder);
    if (lock.state() == DataFolderLock::State::inUse)
        return DataFolderInUse::report(dataFolder, QuorelleApplication::defaultApplicationID);
    if (lock.state() == DataFolderLock::State::unavailable)
        g_warning("The data folder %s cannot be locked: %s", dataFolder.c_str(), lock.problem().c_str());
    // Only with the folder held: a save another process is making is never cut short.
    DataFolderTidy::run(lock, processStart);

    const auto graphics = GraphicsMode::detect();
    graphics.applyToToolkit();

    MainQueue mainQueue;
    DataStore store(dataFolder, DataStore::Access::readWrite);
    // The guest window reads the same data but never writes any.
    DataStore guestStore(dataFolder, DataStore::Access::readOnly);
    KeychainService keychain;
    SystemClipboard clipboard;

    FileDialogs fileDialogs;
    ScriptDialogs scriptDialogs;
    FaviconService favicons(mainQueue);
    ProxyTester proxyTester(mainQueue);
    WebsiteDataService websiteData(mainQueue, {dataDir + "/QuorelleWebData", cacheDir + "/QuorelleWebData"});
    WebContentServices webServices{websiteData, favicons, &fileDialogs, &scriptDialogs, graphics.hardware()};
    TabWebViewStore webViews(mainQueue, webServices);
    BrowserIdentityManager identity([&webViews](const Uuid& tabID) -> IUserAgentView* { return webViews.host(tabID); });
    CommandBus commandBus(mainQueue);
    InspectorService inspector(mainQueue);
    FaviconImageCache faviconImages(QuorelleLogoCache::shared());

    auto appState = AppState::create(false, AppStateServices{store, mainQueue, webViews, favicons, identity,
                                                             proxyTester, websiteData, keychain, clipboard});
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

    int status = 0;
    {
        QuorelleApplication::Options options;
        options.window.openFile = OpenFileCommand::handler(fileDialogs);
        auto app = QuorelleApplication::create(BrowserServices{mainQueue, webViews, commandBus, inspector, faviconImages},
                                               appState, makeGuestState, options);
        status = app->run(argc, argv);
    }
    return status;
}
