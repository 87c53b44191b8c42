#include "window/QuorelleLogoCache.h"

#include "web/ProductLogo.h"

#include <giomm/resource.h>
#include <glibmm/error.h>
#include <glibmm/main.h>

#include <utility>

namespace quorelle {

QuorelleLogoCache& QuorelleLogoCache::shared() {
    static QuorelleLogoCache* cache = new QuorelleLogoCache(std::string(ProductLogo::resourcePath));  // lives until the process ends
    return *cache;
}

QuorelleLogoCache::QuorelleLogoCache(std::string resourcePath) : resourcePath_(std::move(resourcePath)) {
    // Makes sure the compiled-in resource bundle is registered before it is read.
    (void)ProductLogo::pngBytes();
}

void QuorelleLogoCache::preloadIfNeeded() {
    if (didLoad_) return;
    loadLogoFromResources();
    didLoad_ = static_cast<bool>(image_);
    if (didLoad_) didLoadChanged_.emit();
}

void QuorelleLogoCache::loadLogoFromResources() {
    if (image_) return;
    ++loadAttempts_;
    // Read through the bytes: a texture made straight from a resource path
    // aborts the process when the path is missing or the image is damaged.
    try {
        image_ = Gdk::Texture::create_from_bytes(Gio::Resource::lookup_data_global(resourcePath_));
    } catch (const Glib::Error&) {
        image_.reset();
    }
}

void preloadLogo() {
    Glib::signal_idle().connect_once([] { QuorelleLogoCache::shared().preloadIfNeeded(); }, Glib::PRIORITY_DEFAULT);
}

}  // namespace quorelle
