#include "model/WindowSize.h"

#include "model/JsonCodec.h"

#include <algorithm>

namespace quorelle {

WindowSize WindowSize::clamped(std::int64_t minimumWidth, std::int64_t minimumHeight) const {
    return WindowSize{std::clamp(width, minimumWidth, std::max(minimumWidth, largestSide)),
                      std::clamp(height, minimumHeight, std::max(minimumHeight, largestSide)), maximized};
}

void readJson(const Json& j, WindowSize& out) {
    out.width = json::req<std::int64_t>(j, "width");
    out.height = json::req<std::int64_t>(j, "height");
    out.maximized = json::req<bool>(j, "maximized");
}

Json toJson(const WindowSize& size) {
    Json j = Json::object();
    json::put(j, "width", size.width);
    json::put(j, "height", size.height);
    json::put(j, "maximized", size.maximized);
    return j;
}

}  // namespace quorelle
