#pragma once

namespace quorelle {

// The CSS class names the theme environment styles. A window carries
// mainWindow or guestWindow; the controls inside carry the others.
struct ChromeStyle {
    ChromeStyle() = delete;

    static constexpr const char* mainWindow = "vx-main";
    static constexpr const char* guestWindow = "vx-guest";

    static constexpr const char* frame = "vx-frame";            // window background, tab strip
    static constexpr const char* toolbar = "vx-toolbar";        // the toolbar row
    static constexpr const char* navButton = "vx-nav-button";   // back, forward, reload, home
    static constexpr const char* actionButton = "vx-action-button";  // star, sidebar, menus
    static constexpr const char* omnibox = "vx-omnibox";        // the field's capsule
    static constexpr const char* focused = "vx-focused";        // with omnibox, while focused
    static constexpr const char* omniboxIcon = "vx-omnibox-icon";
    static constexpr const char* warning = "vx-warning";        // orange text or symbol
    static constexpr const char* notSecure = "vx-not-secure";
    static constexpr const char* tabStrip = "vx-tab-strip";
    static constexpr const char* tab = "vx-tab";
    static constexpr const char* activeTab = "vx-active-tab";   // with tab
    static constexpr const char* newTabButton = "vx-new-tab";   // the strip's "+"
    static constexpr const char* bookmarksBar = "vx-bookmarks-bar";
    static constexpr const char* sidebar = "vx-sidebar";
    static constexpr const char* card = "vx-card";              // translucent material with rounded corners
    static constexpr const char* toast = "vx-toast";            // with card: the opaque, ringed message capsule
    static constexpr const char* primaryText = "vx-primary-text";
    static constexpr const char* mutedText = "vx-muted-text";
    static constexpr const char* separator = "vx-separator";    // a 1 pt line in the border colour
    static constexpr const char* loadProgress = "vx-load-progress";
    static constexpr const char* themedPopover = "vx-themed-popover";  // a toolbar menu's popup
};

}  // namespace quorelle
