#pragma once

#include <string>

namespace quorelle {

class FaviconService;
class IFileDialogs;
class IScriptDialogs;
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
    // The browser's own confirm and prompt dialogs for internal pages;
    // without them the engine draws those too.
    IScriptDialogs* scriptDialogs = nullptr;
};

}  // namespace quorelle
