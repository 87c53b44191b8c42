#include "app/GraphicsMode.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace quorelle::testing {
namespace {

class GraphicsModeTest : public ::testing::Test {
protected:
    GraphicsModeTest() {
        gchar* made = g_dir_make_tmp("quorelle-dri-XXXXXX", nullptr);
        folder_ = made;
        g_free(made);
        g_unsetenv("LIBGL_ALWAYS_SOFTWARE");
    }
    ~GraphicsModeTest() override {
        g_unsetenv("LIBGL_ALWAYS_SOFTWARE");
        std::filesystem::remove_all(folder_);
    }
    void addDevice(const std::string& name) { std::ofstream(folder_ + "/" + name).put('\0'); }

    std::string folder_;
};

TEST_F(GraphicsModeTest, OnlyAnOpenableRenderDeviceMeansHardware) {
    EXPECT_FALSE(GraphicsMode::detect(folder_ + "/missing").hardware());
    addDevice("card0");  // a display controller alone renders nothing
    EXPECT_FALSE(GraphicsMode::detect(folder_).hardware());
    addDevice("renderD128");
    EXPECT_TRUE(GraphicsMode::detect(folder_).hardware());
    g_setenv("LIBGL_ALWAYS_SOFTWARE", "1", TRUE);
    EXPECT_FALSE(GraphicsMode::detect(folder_).hardware());
}

TEST_F(GraphicsModeTest, SoftwareModeDrawsWithCairoUnlessARendererIsNamed) {
    const char* before = g_getenv("GSK_RENDERER");
    const std::string saved = before ? before : "";
    g_setenv("GSK_RENDERER", "gl", TRUE);
    GraphicsMode::detect(folder_).applyToToolkit();
    EXPECT_STREQ(g_getenv("GSK_RENDERER"), "gl");
    g_unsetenv("GSK_RENDERER");
    GraphicsMode::detect(folder_).applyToToolkit();
    EXPECT_STREQ(g_getenv("GSK_RENDERER"), "cairo");
    if (before) g_setenv("GSK_RENDERER", saved.c_str(), TRUE);
    else g_unsetenv("GSK_RENDERER");
}

}  // namespace
}  // namespace quorelle::testing
