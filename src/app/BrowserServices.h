#pragma once

#include "window/MenuCommands.h"
#include "window/WindowServices.h"

#include <chrono>

namespace quorelle {

class CommandBus;
class FaviconImageCache;
class InspectorService;
class MainQueue;
class TabWebViewStore;

// The process-wide objects every browser window works with. They are made
// in main() and outlive the application and its windows.
struct BrowserServices {
    MainQueue& mainQueue;
    TabWebViewStore& webViews;
    CommandBus& commandBus;
    InspectorService& inspector;
    FaviconImageCache& faviconImages;

    WindowServices window() const { return {webViews, commandBus, faviconImages}; }
};

// How the windows behave where a test needs them to differ.
struct WindowOptions {
    std::chrono::milliseconds toastDuration{2500};
    // What "Open File…" does; nothing until a file opener is installed.
    MenuCommands::OpenFile openFile;
};

}  // namespace quorelle
