#include "web/HttpGetRequest.h"

#include <libsoup/soup.h>

#include <cstring>

namespace quorelle {
namespace {

// What libsoup requires of an address before it makes a request for it.
bool sendable(GUri* uri) {
    const char* scheme = g_uri_get_scheme(uri);
    const char* host = g_uri_get_host(uri);
    const bool web = std::strcmp(scheme, "http") == 0 || std::strcmp(scheme, "https") == 0;
    return web && host && *host;
}

}  // namespace

GObjectPtr<SoupMessage> HttpGetRequest::to(const std::string& address) {
    // The parse libsoup applies itself, so a request is made for exactly the
    // addresses it takes.
    const GUriPtr uri(g_uri_parse(address.c_str(), static_cast<GUriFlags>(SOUP_HTTP_URI_FLAGS), nullptr));
    if (!uri || !sendable(uri.get())) return {};
    return GObjectPtr<SoupMessage>::adopt(soup_message_new_from_uri(SOUP_METHOD_GET, uri.get()));
}

}  // namespace quorelle
