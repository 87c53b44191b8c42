// Quorelle's entry point: makes every process-wide object, the two browser
// states (the main windows' and the guest window's), and runs the
// application. Nothing here is global; each object is handed to those that
// use it and outlives them.
#include "app/QuorelleApplication.h"
#include "platform/KeychainService.h"
#include "state/AppState.h"
#include "store/DataStore.h"
#include "store/MainQueue.h"
#include "web/CommandBus.h"
#include "web/FaviconService.h"
#include "web/InspectorService.h"
#include "web/ProxyTester.h"
#include "web/TabWebViewStore.h"
#include "web/WebContentServices.h"
#include "window/FaviconImageCache.h"
#include "window/FileDialogs.h"
#include "window/OpenFileCommand.h"
#include "window/QuorelleLogoCache.h"
#include "window/SystemClipboard.h"

#include <glib.h>

#include <string>

int main(int argc, char* argv[]) {
    using namespace quorelle;

    const std::string dataDir = g_get_user_data_dir();
    const std::string cacheDir = g_get_user_cache_dir();

    MainQueue mainQueue;
    DataStore store(dataDir + "/QuorelleData", DataStore::Access::readWrite);
    // The guest window reads the same data but never writes any.
    DataStore guestStore(dataDir + "/QuorelleData", DataStore::Access::readOnly);
    KeychainService keychain;
    SystemClipboard clipboard;

    FileDialogs fileDialogs;
    FaviconService favicons(mainQueue);
    ProxyTester proxyTester(mainQueue);
    WebContentServices webServices{favicons, proxyTester, dataDir + "/QuorelleWebData",
                                   cacheDir + "/QuorelleWebData", &fileDialogs};
    TabWebViewStore webViews(mainQueue, webServices);
    CommandBus commandBus(mainQueue);
    InspectorService inspector(mainQueue);
    FaviconImageCache faviconImages(QuorelleLogoCache::shared());

    auto appState = AppState::create(false, AppStateServices{store, mainQueue, webViews, keychain, clipboard});
    auto guestAppState =
        AppState::create(true, AppStateServices{guestStore, mainQueue, webViews, keychain, clipboard});

    int status = 0;
    {
        QuorelleApplication::Options options;
        options.window.openFile = OpenFileCommand::handler(fileDialogs);
        auto app = QuorelleApplication::create(BrowserServices{mainQueue, webViews, commandBus, inspector, faviconImages},
                                               appState, guestAppState, options);
        status = app->run(argc, argv);
    }
    return status;
}
