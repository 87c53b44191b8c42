#pragma once

#include "model/ThemeSettings.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

typedef struct _WebKitWebContext WebKitWebContext;

namespace quorelle {

// The browser's own "vx-local:" addresses, answered by the engine's web
// context for internal pages only. It serves a fixed set of resources and
// nothing a page can name:
//   - vx-local://QuorelleLogo: the product logo compiled into the program, so
//     a page refers to it by a short address instead of embedding it;
//   - vx-local://newtab-background/<digest>: the local image a profile chose
//     as its new-tab background, where <digest> is the SHA-256 of the chosen
//     path. Only a path the browser currently has chosen is ever read, only
//     a regular file of at most maximumImageBytes, and only when it is an
//     image.
// Internal pages load under an https base, so the scheme is registered as
// secure; a request from any other page is refused.
//
// Made once in main(); main thread only.
class LocalResourceScheme {
public:
    // The local background images the browser has chosen at this moment.
    using ChosenImages = std::function<std::vector<std::string>()>;

    static constexpr std::string_view scheme = "vx-local";
    static constexpr std::size_t maximumImageBytes = 32 * 1024 * 1024;

    // Registers with `context`, or with the engine's default context.
    explicit LocalResourceScheme(ChosenImages chosenBackgrounds, WebKitWebContext* context = nullptr);
    ~LocalResourceScheme();
    LocalResourceScheme(const LocalResourceScheme&) = delete;
    LocalResourceScheme& operator=(const LocalResourceScheme&) = delete;

    // The logo's address in internal pages.
    static std::string logoAddress();
    // The address under which a chosen local background image is served.
    static std::string backgroundAddress(std::string_view path);
    // The theme's background image when it is a local file (an image kind
    // with a path that is not a web address).
    static std::optional<std::string> localBackgroundPath(const ThemeSettings& theme);

    struct Registration;

private:
    std::shared_ptr<Registration> registration_;
};

}  // namespace quorelle
