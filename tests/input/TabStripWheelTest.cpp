// A real mouse wheel over a tab strip too full to show every chip.
#include "support/RealInput.h"
#include "web/ProductLogo.h"
#include "window/FaviconImageCache.h"
#include "window/QuorelleLogoCache.h"
#include "window/TabStrip.h"
#include "window/ThemeEnvironment.h"
#include "window/WindowTestSupport.h"

#include <gtkmm/adjustment.h>

namespace quorelle::testing {
namespace {

class TabStripWheelTest : public WindowStateTest {
protected:
    TabStripWheelTest() : logo(std::string(ProductLogo::resourcePath)), images(logo) {}
    void SetUp() override {
        WindowStateTest::SetUp();
        strip = std::make_unique<TabStrip>(state, images);
        theme = std::make_unique<ThemeEnvironment>(state, showInWindow(*strip));
    }
    void TearDown() override {
        if (window_) window_->unset_child();
        strip.reset();
    }

    QuorelleLogoCache logo;
    FaviconImageCache images;
    std::unique_ptr<TabStrip> strip;
    std::unique_ptr<ThemeEnvironment> theme;
};

TEST_F(TabStripWheelTest, AVerticalWheelScrollsTheRowSideways) {
    for (int i = 1; i < 18; ++i) state->newTab("https://site" + std::to_string(i) + ".example/");
    settle();
    auto scroll = strip->scroller().get_hadjustment();
    ASSERT_TRUE(runUntil([&] { return scroll->get_value() > 0; }));  // the last tab, just added, shows
    state->selectTab(state->tabs.get().front());
    settle();
    ASSERT_TRUE(runUntil([&] { return scroll->get_value() == 0; }));

    // One notch at a time, each waited for: down, down, then up.
    EXPECT_TRUE(turnWheelSideways(strip->scroller(), 1));
    EXPECT_TRUE(turnWheelSideways(strip->scroller(), 1));
    EXPECT_TRUE(turnWheelSideways(strip->scroller(), -1));
    EXPECT_GT(scroll->get_value(), 0);
}

}  // namespace
}  // namespace quorelle::testing
