#include "model/UrlParts.h"

#include <glib.h>

namespace quorelle {
namespace {

bool hasForbiddenCharacter(std::string_view text) {
    for (unsigned char c : text) {
        if (c <= 0x20 || c == 0x7f) return true;
        switch (c) {
            case '"': case '<': case '>': case '\\': case '^': case '`': case '{': case '|': case '}':
                return true;
            default:
                break;
        }
    }
    return false;
}

}  // namespace

std::optional<UrlParts> UrlParts::parse(std::string_view text) {
    const std::string owned(text);
    if (hasForbiddenCharacter(text) ||
        !g_utf8_validate_len(owned.data(), owned.size(), nullptr))
        return std::nullopt;
    gchar* scheme = nullptr;
    gchar* host = nullptr;
    if (!g_uri_split(owned.c_str(), G_URI_FLAGS_NON_DNS, &scheme, nullptr, &host, nullptr, nullptr, nullptr,
                     nullptr, nullptr))
        return std::nullopt;
    UrlParts parts;
    if (scheme) parts.scheme = scheme;
    if (host) parts.host = host;
    g_free(scheme);
    g_free(host);
    return parts;
}

}  // namespace quorelle
