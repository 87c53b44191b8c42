#include "app/BrowserWindow.h"

#include "state/AppState.h"
#include "window/QuorelleLogoCache.h"

namespace quorelle {

BrowserWindow::BrowserWindow(std::shared_ptr<AppState> appState, BrowserServices& services,
                             const WindowOptions& options)
    : appState_(std::move(appState)),
      chrome_(*this),
      theme_(appState_, *this),
      rootView_(appState_, services.window(), options.toastDuration),
      controls_(appState_, rootView_, services),
      commands_(*this, appState_, services.commandBus, options.openFile) {
    set_size_request(minimumWidth, minimumHeight);
    set_show_menubar(true);
    set_child(rootView_);
    // A tab opened with New Tab is one to type an address into.
    commands_.signalNewTabOpened().connect([this] { browserView().toolbar().omnibox().focus(); });
    signal_show().connect([] { preloadLogo(); });
}

// The pages go before the window: its web views leave it only as their
// pages close (see WebTabView::releaseViews).
BrowserWindow::~BrowserWindow() {
    browserView().tabContent().webTabView().releaseViews();
    unset_child();
}

}  // namespace quorelle
