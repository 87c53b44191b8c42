#pragma once

#include <string>

namespace quorelle {

class FaviconService;
class ProxyTester;

// The process-wide web services the web view cache works with, made in
// main() beside it.
struct WebContentServices {
    FaviconService& favicons;
    ProxyTester& proxyTester;
    // Where the persistent website data (cookies, storage) and its cache live.
    std::string websiteDataDirectory;
    std::string websiteCacheDirectory;
};

}  // namespace quorelle
