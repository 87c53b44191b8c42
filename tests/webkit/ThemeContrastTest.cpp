// Every theme stays readable where it is drawn: the browser's pages, rendered
// by the engine, show their text against their background with at least the
// contrast WCAG AA asks of body text (4.5:1), and declare the colour scheme
// (light or dark) their colours are in, so the engine's own controls match.
#include "model/ThemePreset.h"
#include "support/Contrast.h"
#include "webkit/WebTestSupport.h"

#include <nlohmann/json.hpp>

#include <regex>
#include <vector>

namespace quorelle::testing {
namespace {

// The colours of every "rgb(…)" or "rgba(…)" in a computed style value.
std::vector<RGB> colorsIn(const std::string& value) {
    std::vector<RGB> found;
    static const std::regex rgb(R"(rgba?\(\s*([\d.]+),\s*([\d.]+),\s*([\d.]+))");
    for (std::sregex_iterator it(value.begin(), value.end(), rgb), end; it != end; ++it)
        found.push_back({std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3])});
    return found;
}

class ThemeContrastTest : public WebTest {
protected:
    // Shows the page anew in the active tab.
    bool render(const std::string& address) {
        evalJS("document.documentElement.setAttribute('data-shown-before', '')");
        return loadPage(address) && runUntil([&] {
                   return evalJS("document.documentElement.hasAttribute('data-shown-before')") == "false";
               });
    }

    // The body's text against what the body is painted with (its colour, or
    // each stop of its gradient), and the scheme the page declares.
    void expectReadable(const std::string& situation) {
        for (const char* page : {"vx://newtab", "vx://settings", "vx://themes", "vx://history"}) {
            SCOPED_TRACE(situation + " on " + page);
            ASSERT_TRUE(render(page));
            const auto style = Json::parse(evalJS(
                "(function() { var s = getComputedStyle(document.body);"
                " var m = document.querySelector('meta[name=color-scheme]');"
                " return { text: s.color, color: s.backgroundColor, image: s.backgroundImage,"
                " scheme: m ? m.content : '' }; })()"));
            const auto text = colorsIn(style["text"].get<std::string>());
            const std::string image = style["image"].get<std::string>();
            auto backgrounds = colorsIn(image);
            if (image.find("url(") != std::string::npos) continue;  // a picture the user chose
            if (backgrounds.empty()) backgrounds = colorsIn(style["color"].get<std::string>());
            ASSERT_EQ(text.size(), 1u);
            ASSERT_FALSE(backgrounds.empty());
            for (const RGB& background : backgrounds) {
                EXPECT_GE(contrast(text[0], background), 4.5) << style.dump();
                const bool dark = luminance(text[0]) > luminance(background);
                EXPECT_EQ(style["scheme"].get<std::string>(), dark ? "dark" : "light") << style.dump();
            }
        }
    }

    void applyPreset(const std::string& id) {
        state->handleInternalMessage(Json{{"action", "applyPreset"}, {"presetId", id}});
    }
};

TEST_F(ThemeContrastTest, EveryPresetAndEveryCustomiseButtonKeepThePagesReadable) {
    start();
    // Each preset as the themes page applies it, over the first launch's theme.
    for (const ThemePreset& preset : ThemePreset::all()) {
        state->applyDarkDefaultTheme();
        applyPreset(preset.id);
        expectReadable("preset " + preset.id);
    }

    // The customise card's buttons, as it calls the browser.
    state->applyDarkDefaultTheme();
    applyPreset("chrome");
    state->applyDarkDefaultTheme();  // Reset
    state->setBackgroundImageURL(std::nullopt);
    expectReadable("Reset");
    applyPreset("chrome");
    expectReadable("Chrome Default after Reset");

    state->setBackgroundImageURL("https://img.example/bg.png");  // Save with an image address
    applyPreset("blue");                                         // Save with a light preset
    state->reloadNewTabIfActive();
    state->setBackgroundImageURL(std::nullopt);  // Clear Background
    expectReadable("Clear Background under a light preset");

    applyPreset("midnight");
    state->setBackgroundImageURL("https://img.example/bg.png");
    applyPreset("white");
    state->setBackgroundImageURL(std::nullopt);
    expectReadable("Clear Background after a dark preset");
}

}  // namespace
}  // namespace quorelle::testing
