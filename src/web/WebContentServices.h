#pragma once

#include <string>

namespace quorelle {

class FaviconService;
class IFileDialogs;
class ProxyTester;

// The process-wide web services the web view cache works with, made in
// main() beside it.
struct WebContentServices {
    FaviconService& favicons;
    ProxyTester& proxyTester;
    // Where the persistent website data (cookies, storage) and its cache live.
    std::string websiteDataDirectory;
    std::string websiteCacheDirectory;
    // The save and open dialogs; without them, downloads are cancelled and
    // Save As does nothing.
    IFileDialogs* fileDialogs = nullptr;
    // Off where there is no graphics processor: pages are then painted
    // without the engine's OpenGL compositor.
    bool acceleratedCompositing = true;
};

}  // namespace quorelle
