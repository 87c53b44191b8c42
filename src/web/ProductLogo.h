#pragma once

#include <string_view>

namespace quorelle {

// The product logo compiled into the program (internal pages get it through
// LocalResourceScheme).
struct ProductLogo {
    static constexpr std::string_view resourcePath = "/io/github/quorelle/Quorelle/QuorelleLogo.png";

    // The PNG bytes; empty only if the resource is missing from the build.
    static std::string_view pngBytes();
};

}  // namespace quorelle
