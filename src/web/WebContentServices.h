#pragma once

namespace quorelle {

class FaviconService;
class IFileDialogs;
class IScriptDialogs;
class WebsiteDataService;

// The process-wide web services the web view cache and its views work with,
// made in main() beside it.
struct WebContentServices {
    // The network session each new web view gets.
    WebsiteDataService& websiteData;
    // The icon a loaded page declares.
    FaviconService& favicons;
    // The save and open dialogs; without them, downloads are cancelled and
    // Save As does nothing.
    IFileDialogs* fileDialogs = nullptr;
    // The browser's own confirm and prompt dialogs for internal pages;
    // without them the engine draws those too.
    IScriptDialogs* scriptDialogs = nullptr;
    // Off where there is no graphics processor: pages are then painted
    // without the engine's OpenGL compositor.
    bool acceleratedCompositing = true;
};

}  // namespace quorelle
