#include "window/ChromeColor.h"

#include "model/GLibPtr.h"

#include <glib.h>

#include <algorithm>

namespace quorelle {

namespace {
float unit(double component) { return static_cast<float>(std::clamp(component, 0.0, 1.0)); }
}  // namespace

GdkRGBA ChromeColor::rgba(const Color& color, double alpha) {
    return GdkRGBA{unit(color.red), unit(color.green), unit(color.blue), unit(color.alpha * alpha)};
}

std::string ChromeColor::css(const Color& color, double alpha) {
    const GdkRGBA value = rgba(color, alpha);
    return GCharPtr(gdk_rgba_to_string(&value)).get();
}

}  // namespace quorelle
