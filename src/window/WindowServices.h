#pragma once

namespace quorelle {

class CommandBus;
class FaviconImageCache;
class TabWebViewStore;

// The process-wide objects a window's controls work with, made in main().
struct WindowServices {
    TabWebViewStore& webViews;
    CommandBus& commandBus;
    FaviconImageCache& faviconImages;
};

}  // namespace quorelle
