#pragma once

#include <string>

namespace quorelle {

// A rendered internal or error page with the secret its bridge script puts
// into every message. The web view accepts a message only with that token.
struct RenderedPage {
    std::string html;
    std::string token;
};

}  // namespace quorelle
