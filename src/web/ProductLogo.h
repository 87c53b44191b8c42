#pragma once

#include <string>
#include <string_view>

namespace quorelle {

// The product logo compiled into the program. Internal pages are loaded
// under an https base, where a file: image never loads, so they embed the
// logo as a data: address.
struct ProductLogo {
    static constexpr std::string_view resourcePath = "/io/github/quorelle/Quorelle/QuorelleLogo.png";

    // The PNG bytes; empty only if the resource is missing from the build.
    static std::string_view pngBytes();
    // "data:image/png;base64,..." built once; the logo reference
    // "vx-local://QuorelleLogo" when the resource is missing.
    static const std::string& dataURI();
};

}  // namespace quorelle
