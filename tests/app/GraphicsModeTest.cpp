#include "app/GraphicsMode.h"

#include "support/ScratchFolder.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <fstream>

namespace quorelle::testing {
namespace {

class GraphicsModeTest : public ::testing::Test {
protected:
    GraphicsModeTest() { g_unsetenv("LIBGL_ALWAYS_SOFTWARE"); }
    ~GraphicsModeTest() override { g_unsetenv("LIBGL_ALWAYS_SOFTWARE"); }
    void addDevice(const std::string& name) { std::ofstream(devices_.file(name)).put('\0'); }

    ScratchFolder devices_{"quorelle-dri-XXXXXX"};
};

TEST_F(GraphicsModeTest, OnlyAnOpenableRenderDeviceMeansHardware) {
    EXPECT_FALSE(GraphicsMode::detect(devices_.file("missing")).hardware());
    addDevice("card0");  // a display controller alone renders nothing
    EXPECT_FALSE(GraphicsMode::detect(devices_.path()).hardware());
    addDevice("renderD128");
    EXPECT_TRUE(GraphicsMode::detect(devices_.path()).hardware());
    g_setenv("LIBGL_ALWAYS_SOFTWARE", "1", TRUE);
    EXPECT_FALSE(GraphicsMode::detect(devices_.path()).hardware());
}

TEST_F(GraphicsModeTest, SoftwareModeDrawsWithCairoUnlessARendererIsNamed) {
    const char* before = g_getenv("GSK_RENDERER");
    const std::string saved = before ? before : "";
    g_setenv("GSK_RENDERER", "gl", TRUE);
    GraphicsMode::detect(devices_.path()).applyToToolkit();
    EXPECT_STREQ(g_getenv("GSK_RENDERER"), "gl");
    g_unsetenv("GSK_RENDERER");
    GraphicsMode::detect(devices_.path()).applyToToolkit();
    EXPECT_STREQ(g_getenv("GSK_RENDERER"), "cairo");
    if (before) g_setenv("GSK_RENDERER", saved.c_str(), TRUE);
    else g_unsetenv("GSK_RENDERER");
}

}  // namespace
}  // namespace quorelle::testing
