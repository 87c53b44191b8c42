#include "model/UrlParts.h"

#include "model/GLibPtr.h"
#include "model/Text.h"

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
    return GUriPtr(g_uri_parse(text.c_str(), G_URI_FLAGS_NONE, nullptr)) != nullptr;
}

}  // namespace

std::optional<UrlParts> UrlParts::parse(std::string_view text) {
    const std::string owned(text);
    if (hasForbiddenCharacter(text) || !text::isValidUtf8(owned) || !parsesAsAbsolute(owned)) return std::nullopt;
    // The parts as written: the scheme's case kept, the host not converted.
    gchar* rawScheme = nullptr;
    gchar* rawHost = nullptr;
    const auto flags = static_cast<GUriFlags>(G_URI_FLAGS_NON_DNS | G_URI_FLAGS_ENCODED);
    const bool split =
        g_uri_split(owned.c_str(), flags, &rawScheme, nullptr, &rawHost, nullptr, nullptr, nullptr, nullptr, nullptr);
    GCharPtr scheme(rawScheme);
    GCharPtr host(rawHost);
    if (!split) return std::nullopt;
    // The host as the user reads it (percent-escapes decoded) when that is text.
    gchar* rawDecodedHost = nullptr;
    const bool decoded = host && g_uri_split(owned.c_str(), G_URI_FLAGS_NON_DNS, nullptr, nullptr, &rawDecodedHost,
                                             nullptr, nullptr, nullptr, nullptr, nullptr);
    GCharPtr decodedHost(rawDecodedHost);
    if (decoded && decodedHost) host = std::move(decodedHost);
    UrlParts parts;
    if (scheme) parts.scheme = scheme.get();
    if (host) parts.host = host.get();
    return parts;
}

bool UrlParts::hasWebScheme() const {
    if (!scheme) return false;
    const std::string lower = text::lowercased(*scheme);
    return lower == "http" || lower == "https" || lower == "file";
}

}  // namespace quorelle
