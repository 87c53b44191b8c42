#pragma once

#include "model/GLibPtr.h"

#include <string>

typedef struct _SoupMessage SoupMessage;

namespace quorelle {

// A GET request for libsoup, made only for an address it can send: one that
// parses as libsoup parses addresses, with a scheme of http or https and a
// host. Anything else ("http://" while it is being typed, a "file:" or
// "data:" address) gives no request, and libsoup is never handed it (it would
// complain on stderr). An address libsoup takes is sent as written, odd
// characters and escapes in its path or query included.
struct HttpGetRequest {
    HttpGetRequest() = delete;

    static GObjectPtr<SoupMessage> to(const std::string& address);
};

}  // namespace quorelle
