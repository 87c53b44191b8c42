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

// The platform's address parser: an absolute address whose escapes decode to
// UTF-8. Relative references (an empty text among them) are no address.
bool parsesAsAbsolute(const std::string& text) {
    GUri* uri = g_uri_parse(text.c_str(), G_URI_FLAGS_NONE, nullptr);
    if (!uri) return false;
    g_uri_unref(uri);
    return true;
}

}  // namespace

std::optional<UrlParts> UrlParts::parse(std::string_view text) {
    const std::string owned(text);
    if (hasForbiddenCharacter(text) || !g_utf8_validate_len(owned.data(), owned.size(), nullptr) ||
        !parsesAsAbsolute(owned))
        return std::nullopt;
    // The parts as written: the scheme's case kept, the host not converted.
    gchar* scheme = nullptr;
    gchar* host = nullptr;
    const auto flags = static_cast<GUriFlags>(G_URI_FLAGS_NON_DNS | G_URI_FLAGS_ENCODED);
    if (!g_uri_split(owned.c_str(), flags, &scheme, nullptr, &host, nullptr, nullptr, nullptr, nullptr, nullptr))
        return std::nullopt;
    // The host as the user reads it (percent-escapes decoded) when that is text.
    gchar* decodedHost = nullptr;
    if (host && g_uri_split(owned.c_str(), G_URI_FLAGS_NON_DNS, nullptr, nullptr, &decodedHost, nullptr, nullptr,
                            nullptr, nullptr, nullptr) && decodedHost) {
        g_free(host);
        host = decodedHost;
    }
    UrlParts parts;
    if (scheme) parts.scheme = scheme;
    if (host) parts.host = host;
    g_free(scheme);
    g_free(host);
    return parts;
}

}  // namespace quorelle
