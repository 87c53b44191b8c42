#pragma once

#include <cmath>
#include <string>

namespace quorelle {

// The fixed sizes of the window's own controls, in points (one point is one
// logical pixel). Every control and card takes its sizes from here.
struct ChromeMetrics {
    ChromeMetrics() = delete;

    static constexpr double tabStripHeight = 40;
    static constexpr double toolbarHeight = 48;
    static constexpr double bookmarksBarHeight = 32;
    static constexpr double navButtonSize = 32;
    static constexpr double toolbarPaddingH = 10;
    static constexpr double toolbarSpacing = 6;
    static constexpr double omniboxMinWidth = 120;
    static constexpr double tabStripLeadingInset = 84;
    static constexpr double omniboxCornerRadius = 18;  // kept with the others; nothing draws with it
    static constexpr double tabCornerRadius = 8;

    // A size as the whole pixels GTK lays out with.
    static int px(double points) { return static_cast<int>(std::lround(points)); }
    // The same as a CSS length ("12px").
    static std::string cssPx(double points) { return std::to_string(px(points)) + "px"; }
};

}  // namespace quorelle
