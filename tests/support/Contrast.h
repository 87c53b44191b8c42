#pragma once

// Contrast between two colours as WCAG measures it: 4.5:1 is what body text
// needs against its background, 3:1 what the outline of a control needs
// against what surrounds it.

#include <algorithm>
#include <cmath>

namespace quorelle::testing {

// A colour with channels from 0 to 255.
struct RGB {
    double r = 0, g = 0, b = 0;
};

inline double luminance(const RGB& c) {
    const auto channel = [](double v) {
        v /= 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.r) + 0.7152 * channel(c.g) + 0.0722 * channel(c.b);
}

inline double contrast(const RGB& a, const RGB& b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace quorelle::testing
