#pragma once

#include <string>

namespace quorelle {

// Whether this machine draws with a graphics processor. Without one, OpenGL
// is a software rasterizer that compiles every shader on the processor: the
// window's first frames and every new page's compositor then wait hundreds
// of milliseconds for shader code. In that case the window draws with the
// toolkit's software renderer and pages are painted without compositing,
// both of which are made for the processor.
class GraphicsMode {
public:
    // Hardware when a render device can be opened under `deviceFolder` and
    // LIBGL_ALWAYS_SOFTWARE does not ask for software.
    static GraphicsMode detect(const std::string& deviceFolder = "/dev/dri");

    bool hardware() const { return hardware_; }
    // In software mode, makes the toolkit draw with its software renderer,
    // unless GSK_RENDERER already names one. Call before any window is shown.
    void applyToToolkit() const;

private:
    explicit GraphicsMode(bool hardware) : hardware_(hardware) {}
    bool hardware_;
};

}  // namespace quorelle
