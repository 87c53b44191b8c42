#include "web/ProductLogo.h"

#include <gio/gio.h>

#include <string>

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

}  // namespace quorelle
