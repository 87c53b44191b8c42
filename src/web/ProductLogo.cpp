#include "web/ProductLogo.h"

#include "model/QuorelleAssets.h"

#include <gio/gio.h>

extern "C" GResource* quorelle_get_resource(void);

namespace quorelle {

std::string_view ProductLogo::pngBytes() {
    static GBytes* bytes = [] {
        const std::string path(resourcePath);
        return g_resource_lookup_data(quorelle_get_resource(), path.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr);
    }();
    if (!bytes) return {};
    gsize size = 0;
    const auto* data = static_cast<const char*>(g_bytes_get_data(bytes, &size));
    return {data, size};
}

const std::string& ProductLogo::dataURI() {
    static const std::string uri = [] {
        const auto png = pngBytes();
        if (png.empty()) return std::string(QuorelleAssets::logoFaviconReference);
        gchar* encoded = g_base64_encode(reinterpret_cast<const guchar*>(png.data()), png.size());
        std::string result = std::string("data:image/png;base64,") + encoded;
        g_free(encoded);
        return result;
    }();
    return uri;
}

}  // namespace quorelle
