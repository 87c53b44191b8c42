#include "app/GraphicsMode.h"

#include <glib.h>

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <string_view>

namespace quorelle {
namespace {

bool canOpenRenderNode(const std::string& deviceFolder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(deviceFolder, error)) {
        if (!std::string_view(entry.path().filename().c_str()).starts_with("renderD")) continue;
        const int fd = ::open(entry.path().c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0) continue;
        ::close(fd);
        return true;
    }
    return false;
}

bool softwareRequested() {
    const char* value = g_getenv("LIBGL_ALWAYS_SOFTWARE");
    return value && *value && std::string_view(value) != "0" && std::string_view(value) != "false";
}

}  // namespace

GraphicsMode GraphicsMode::detect(const std::string& deviceFolder) {
    return GraphicsMode(!softwareRequested() && canOpenRenderNode(deviceFolder));
}

void GraphicsMode::applyToToolkit() const {
    if (!hardware_) g_setenv("GSK_RENDERER", "cairo", FALSE);
}

}  // namespace quorelle
