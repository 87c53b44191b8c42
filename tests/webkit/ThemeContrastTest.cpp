// Every theme stays readable where it is drawn: the browser's pages, rendered
// by the engine, show their text against their background with at least the
// contrast WCAG AA asks of body text (4.5:1), and declare the colour scheme
// (light or dark) their colours are in, so the engine's own controls match.
// A new tab shows its theme's background from its first frame on screen.
#include "model/ThemePreset.h"
#include "support/Contrast.h"
#include "webkit/WebTestSupport.h"

#include <gdk/x11/gdkx.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/stylecontext.h>
#include <nlohmann/json.hpp>

#include <map>
#include <regex>
#include <vector>

// Xlib last: its macros clash with the toolkit's C++ headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

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

// What a widget's area shows on the screen now, read back from the X server:
// the colour most of it has ("#rrggbb") and how much of it that is.
struct OnScreen {
    std::string mostly;
    double share = 0;
};

std::optional<OnScreen> onScreen(GtkWidget* widget) {
    GtkNative* native = gtk_widget_get_native(widget);
    graphene_rect_t bounds;
    if (!native || !gtk_widget_compute_bounds(widget, GTK_WIDGET(native), &bounds)) return std::nullopt;
    double left = 0, top = 0;
    gtk_native_get_surface_transform(native, &left, &top);
    const int width = int(bounds.size.width), height = int(bounds.size.height);
    if (width <= 0 || height <= 0) return std::nullopt;
    Display* display = gdk_x11_display_get_xdisplay(gtk_widget_get_display(widget));
    XSync(display, False);
    XImage* image = XGetImage(display, gdk_x11_surface_get_xid(gtk_native_get_surface(native)),
                              int(left + bounds.origin.x), int(top + bounds.origin.y), unsigned(width),
                              unsigned(height), AllPlanes, ZPixmap);
    if (!image) return std::nullopt;
    std::map<unsigned long, int> counts;
    for (int y = 0; y < height; y += 2)
        for (int x = 0; x < width; x += 2) ++counts[XGetPixel(image, x, y) & 0xffffff];
    XDestroyImage(image);
    const auto most = std::max_element(counts.begin(), counts.end(),
                                       [](const auto& a, const auto& b) { return a.second < b.second; });
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%06lx", most->first);
    return OnScreen{hex, double(most->second) / double(((width + 1) / 2) * ((height + 1) / 2))};
}

// Reads the screen under a widget after each frame its window paints.
class FrameWatch {
public:
    explicit FrameWatch(GtkWindow* window)
        : clock_(gdk_surface_get_frame_clock(gtk_native_get_surface(GTK_NATIVE(window)))),
          handler_(g_signal_connect(clock_, "after-paint", G_CALLBACK(&FrameWatch::painted), this)) {}
    ~FrameWatch() { g_signal_handler_disconnect(clock_, handler_); }
    FrameWatch(const FrameWatch&) = delete;
    FrameWatch& operator=(const FrameWatch&) = delete;

    // Watches `widget` while it is mapped (nothing at first).
    GtkWidget* widget = nullptr;
    std::vector<OnScreen> frames;

private:
    static void painted(GdkFrameClock*, FrameWatch* self) {
        if (!self->widget || !gtk_widget_get_mapped(self->widget)) return;
        if (auto shown = onScreen(self->widget)) self->frames.push_back(*shown);
    }

    GdkFrameClock* clock_;
    gulong handler_;
};

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

// The new-tab page paints its theme's background, and so does the web view
// of a new tab before the page has painted anything: no white frame comes
// first. A frame inside the page or a download keeps that colour (it shows in
// the strips a resize uncovers); once a web page that paints no background of
// its own replaces the page, the engine's white shows.
TEST_F(ThemeContrastTest, ANewTabShowsItsThemesBackgroundUntilAWebPageReplacesItAndAPlainWebPageStaysWhite) {
    server.addHTML("/plain", "<html><body><p>plain</p></body></html>");
    LoopbackServer::Page attachment;
    attachment.contentType = "text/plain";
    attachment.body = "numbers";
    attachment.headers = {{"Content-Disposition", "attachment; filename=\"numbers.txt\""}};
    server.add("/numbers", attachment);
    // As without a graphics processor, where the engine paints the view
    // itself; under the view, the window's frame colour, as in the browser.
    services->acceleratedCompositing = false;
    const auto frame = Gtk::CssProvider::create();
    frame->load_from_data(".first-frames { background: #202124; }");
    Gtk::StyleContext::add_provider_for_display(Gdk::Display::get_default(), frame,
                                                GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    gtk_widget_add_css_class(GTK_WIDGET(window), "first-frames");
    start();
    state->profileData.modify([](ProfileData& d) {
        d.theme.background.kind = ThemeBackground::BackgroundKind::solid;
        d.theme.background.solidColor = "#1e3a5f";
    });
    FrameWatch watch(window);
    const auto first = tab();
    state->newTab();
    ASSERT_NE(tab(), first);
    showActiveTab();
    watch.widget = GTK_WIDGET(view());
    ASSERT_TRUE(waitForPage("vx://newtab"));
    // Until the page itself is on screen: its background and, on it, its
    // search box and shortcuts.
    EXPECT_TRUE(runUntil([&] {
        return !watch.frames.empty() && watch.frames.back().mostly == "#1e3a5f" && watch.frames.back().share < 0.98;
    }));
    // Before the view paints anything, the window shows through.
    for (std::size_t i = 0; i < watch.frames.size(); ++i)
        EXPECT_TRUE(watch.frames[i].mostly == "#1e3a5f" || watch.frames[i].mostly == "#202124")
            << "frame " << i << " of " << watch.frames.size() << ": " << watch.frames[i].mostly;

    const auto viewBackground = [&] {
        GdkRGBA color;
        webkit_web_view_get_background_color(view(), &color);
        const GCharPtr hex(g_strdup_printf("#%02x%02x%02x", int(color.red * 255 + 0.5), int(color.green * 255 + 0.5),
                                           int(color.blue * 255 + 0.5)));
        return std::string(hex.get());
    };
    const auto requested = [&](const std::string& path) {
        return std::count(server.requestedPaths.begin(), server.requestedPaths.end(), path) > 0;
    };
    ASSERT_EQ(viewBackground(), "#1e3a5f");
    evalJS("const frame = document.createElement('iframe'); frame.onload = () => document.body.dataset.framed = 1;"
           "frame.src = 'data:text/html,<p>framed</p>'; document.body.append(frame)");
    ASSERT_TRUE(runUntil([&] { return evalJS("document.body.dataset.framed") == "\"1\""; }));
    EXPECT_EQ(viewBackground(), "#1e3a5f");
    state->navigateActive(server.url("/numbers"));
    ASSERT_TRUE(runUntil([&] {
        return requested("/numbers") && tab()->urlString.get() == "vx://newtab" && !tab()->isLoading.get() &&
               !webkit_web_view_is_loading(view()) && queue.pending() == 0;
    }));
    EXPECT_EQ(viewURI(), WebViewCoordinator::internalBaseURL);
    EXPECT_EQ(viewBackground(), "#1e3a5f");

    ASSERT_TRUE(loadPage(server.url("/plain")));
    EXPECT_EQ(viewBackground(), "#ffffff");
    EXPECT_TRUE(runUntil([&] { return watch.frames.back().mostly == "#ffffff"; })) << watch.frames.back().mostly;
    gtk_widget_remove_css_class(GTK_WIDGET(window), "first-frames");
    Gtk::StyleContext::remove_provider_for_display(Gdk::Display::get_default(), frame);
}

}  // namespace
}  // namespace quorelle::testing
