#pragma once

#include "model/Json.h"

#include <cstdint>

namespace quorelle {

// The main window as the user left it: its size, and whether it was
// maximised. The size is the window's own, unmaximised one, so a window that
// comes back maximised returns to it when the user unmaximises it.
struct WindowSize {
    // Larger than any screen; a side beyond it (a hand-edited file) would ask
    // the display for a window it cannot make.
    static constexpr std::int64_t largestSide = 16384;

    std::int64_t width = 0;
    std::int64_t height = 0;
    bool maximized = false;

    // Each side brought between its minimum and largestSide.
    WindowSize clamped(std::int64_t minimumWidth, std::int64_t minimumHeight) const;

    friend bool operator==(const WindowSize&, const WindowSize&) = default;
};

// "width", "height" (integers) and "maximized" (a boolean) are all required.
void readJson(const Json& j, WindowSize& out);
Json toJson(const WindowSize& size);

}  // namespace quorelle
