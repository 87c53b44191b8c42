#pragma once

#include <gdkmm/texture.h>
#include <glibmm/refptr.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace quorelle {

class QuorelleLogoCache;

// Loads and keeps the icon images the window draws, keyed by icon address:
// http and https addresses over the network, file addresses from disk, and
// data addresses decoded in place. Each network or file image is read once;
// later requests for the same address are answered from memory, and so are
// addresses that failed (a broken icon is not asked for again). The cache
// holds a bounded number of addresses and forgets the oldest first. Data
// addresses are decoded on every request and never kept.
//
// It also hands out the product logo cache, so a view needs only this one
// object. Made once per process and passed to every icon view; it must
// outlive them. Main thread only; answers arrive while the default main
// context is iterated.
class FaviconImageCache {
public:
    using Texture = Glib::RefPtr<Gdk::Texture>;
    // Receives the image, or nothing when it could not be read or decoded.
    using Completion = std::function<void(const Texture&)>;

    enum class Status { unknown, loading, loaded, failed };

    static constexpr std::size_t defaultCapacity = 256;
    static constexpr std::chrono::milliseconds defaultTimeLimit{15000};
    // Larger answers are not decoded.
    static constexpr std::size_t maximumImageBytes = 2 * 1024 * 1024;

    explicit FaviconImageCache(QuorelleLogoCache& logo, std::chrono::milliseconds timeLimit = defaultTimeLimit,
                               std::size_t capacity = defaultCapacity);
    // Requests still running are cancelled; their completions never run.
    ~FaviconImageCache();
    FaviconImageCache(const FaviconImageCache&) = delete;
    FaviconImageCache& operator=(const FaviconImageCache&) = delete;

    QuorelleLogoCache& logo() const { return logo_; }

    Status status(const std::string& url) const;
    // The image held for `url`, or nothing.
    Texture cached(const std::string& url) const;

    // Finds the image for `url`. Completes before returning when the answer
    // is known already (held, failed before, a data address, or an address
    // that cannot be read); otherwise later, once, on the main loop. Requests
    // for an address already being read wait for that one read.
    void load(const std::string& url, Completion completion);

    // Network and file reads started so far.
    std::size_t readsStarted() const;

private:
    struct Shared;
    struct Read;

    QuorelleLogoCache& logo_;
    std::shared_ptr<Shared> shared_;
};

}  // namespace quorelle
