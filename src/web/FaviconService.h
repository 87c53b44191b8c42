#pragma once

#include "state/IFavicons.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

class IScriptableView;
class MainQueue;

// Finds the icon address of a site and remembers it, keyed by host, for the
// rest of the process (in memory only, shared by every window and profile).
// Three lookups: the cache alone; the icon the loaded page declares; and a
// network probe of the site's favicon file, then a favicon lookup service.
// It only finds addresses; it never downloads icon images for drawing.
//
// Made once in main() and handed to whoever needs it. Main thread only, and
// the main context must be iterated for network answers to arrive. Every
// lookup completes exactly once, unless the service is destroyed first: then
// the lookups still running never complete.
class FaviconService : public IFavicons {
public:

    // Where the network lookup looks.
    struct Endpoints {
        // The site's own icon file for a host.
        std::function<std::string(const std::string& host)> faviconDirect;
        // The lookup service's address up to and including "domain="; the
        // host and then "&sz=64" follow.
        std::string faviconLookupBase;

        // The addresses chosen when the browser was built.
        static Endpoints production();
    };

    // Each network request gives up after this long.
    static constexpr std::chrono::milliseconds defaultRequestTimeLimit{8000};

    // Evaluated in a loaded page: the resolved href of the first <link> whose
    // rel contains "icon", or null.
    static constexpr std::string_view pageIconScript =
        "(function() {\n"
        "  var links = document.querySelectorAll('link[rel*=\"icon\"]');\n"
        "  for (var i = 0; i < links.length; i++) {\n"
        "    var rel = (links[i].getAttribute('rel') || '').toLowerCase();\n"
        "    if (rel.indexOf('icon') >= 0 || rel.indexOf('apple-touch-icon') >= 0 || "
        "rel.indexOf('mask-icon') >= 0) {\n"
        "      return links[i].href;\n"
        "    }\n"
        "  }\n"
        "  return null;\n"
        "})();";

    explicit FaviconService(MainQueue& mainQueue, Endpoints endpoints = Endpoints::production(),
                            std::chrono::milliseconds requestTimeLimit = defaultRequestTimeLimit);
    // A limit of its own for the request of the site's icon file and for the
    // lookup service's.
    FaviconService(MainQueue& mainQueue, Endpoints endpoints, std::chrono::milliseconds iconFileTimeLimit,
                   std::chrono::milliseconds lookupServiceTimeLimit);
    // Cancels the requests still running.
    ~FaviconService() override;
    FaviconService(const FaviconService&) = delete;
    FaviconService& operator=(const FaviconService&) = delete;

    // The logo reference for an internal page; else the icon cached for the
    // address's host; nothing when the address has no host. No network.
    std::optional<std::string> cached(std::string_view pageURL) const override;

    // Asks the page shown in `view` for the icon it declares. A non-empty
    // answer is resolved against `pageURL`, cached under its host and passed
    // on; anything else (no link, a script error) gives nothing. Completes
    // later on the main queue; no network fallback.
    void fetch(IScriptableView& view, const std::string& pageURL, Completion completion);

    // Probes the network for the host of `pageURL`: its favicon file, then
    // the lookup service; the first answer with a 2xx status and a body (even
    // an empty one) wins and is cached under the host. Completes before this
    // returns when the address has no host or the host is cached; otherwise
    // later on the main queue.
    void fetchFromNetwork(const std::string& pageURL, Completion completion) override;

    // `href` made absolute against `pageURL`; when that fails, `href` itself
    // if it begins with "http"; else nothing.
    static std::optional<std::string> resolve(const std::string& href, const std::string& pageURL);

    // Caches the icon under the host of `pageURL` (nothing without a host).
    void store(const std::string& pageURL, const std::string& faviconURL);

    // The cache key of an address: its host without port, or nothing when
    // the address does not parse or has no host.
    static std::optional<std::string> host(std::string_view pageURL);

private:
    struct Shared;
    struct Lookup;
    struct Request;

    static void tryCandidate(const std::shared_ptr<Shared>& shared, const std::shared_ptr<Lookup>& lookup);
    static void decide(const std::shared_ptr<Shared>& shared, const std::shared_ptr<Lookup>& lookup, bool answered);

    std::shared_ptr<Shared> shared_;  // running lookups hold it weakly
};

}  // namespace quorelle
