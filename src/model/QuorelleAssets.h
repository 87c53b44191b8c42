#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

// The product logo's names and the rules that decide a page's icon and badge
// letter. Pure functions; the logo image itself is loaded by the window.
struct QuorelleAssets {
    static constexpr std::string_view logoAssetName = "QuorelleLogo";
    // Stored wherever a favicon address is stored, meaning "draw the logo".
    static constexpr std::string_view logoFaviconReference = "vx-local://QuorelleLogo";

    // Trimmed of white space and line breaks and lower-cased, begins "vx://".
    static bool isInternalURL(std::string_view urlString);
    // The logo reference for an internal page, else nothing.
    static std::optional<std::string> faviconURL(std::string_view pageURL);
    // The same from a flag. Only a bool is taken: an address (a pointer)
    // would otherwise turn into "true" without a word.
    static std::optional<std::string> faviconURLIfInternal(bool isInternal);
    template <typename T>
    static std::optional<std::string> faviconURLIfInternal(T) = delete;
    // The logo reference, the asset name, or any address of the logo file.
    static bool isQuorelleLogo(const std::optional<std::string>& value);
    // "Q" for internal pages; else the host's first letter; else the title's.
    static std::string faviconLetter(std::string_view urlString, std::string_view title);
};

}  // namespace quorelle
