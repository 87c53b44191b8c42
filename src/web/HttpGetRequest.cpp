#include "web/HttpGetRequest.h"

#include "model/UrlParts.h"

#include <libsoup/soup.h>

namespace quorelle {

GObjectPtr<SoupMessage> HttpGetRequest::to(const std::string& address) {
    if (!UrlParts::isHttpAddress(address)) return {};
    return GObjectPtr<SoupMessage>::adopt(soup_message_new(SOUP_METHOD_GET, address.c_str()));
}

}  // namespace quorelle
