#include "window/ThemeEnvironment.h"

#include "state/AppState.h"
#include "window/ChromeColor.h"
#include "window/ChromeMetrics.h"
#include "window/ChromeStyle.h"
#include "window/ViewRefresh.h"

#include <gtkmm/settings.h>
#include <gtkmm/stylecontext.h>

#include <initializer_list>
#include <utility>

namespace quorelle {

namespace {

// The translucent fill of cards and popups; GTK has no backdrop blur.
constexpr double materialOpacity = 0.75;
constexpr double cardCornerRadius = 12;
constexpr double newTabButtonOpacity = 0.01;

constexpr auto px = ChromeMetrics::cssPx;

// Writes rules whose selectors all sit under one window class.
class SheetWriter {
public:
    explicit SheetWriter(std::string_view windowClass) : scope_("." + std::string(windowClass)) {}

    // `selectors` are relative to the window; "" is the window itself.
    void rule(std::initializer_list<std::string_view> selectors, std::initializer_list<std::string> declarations) {
        bool first = true;
        for (auto selector : selectors) {
            if (!first) out_ += ",\n";
            first = false;
            out_ += selector.empty() ? "window" + scope_ : scope_ + " " + std::string(selector);
        }
        out_ += " {\n";
        for (const auto& declaration : declarations) out_ += "  " + declaration + ";\n";
        out_ += "}\n";
    }

    std::string take() { return std::move(out_); }

private:
    std::string scope_;
    std::string out_;
};

std::string cls(const char* name) { return std::string(".") + name; }

void writeToolbar(SheetWriter& w, const ThemeSettings& t) {
    const auto primary = ChromeColor::css(ChromeColor::primaryText(t));
    w.rule({cls(ChromeStyle::toolbar)},
           {"background-color: " + ChromeColor::css(ChromeColor::toolbar(t)),
            "box-shadow: inset 0 -1px " + ChromeColor::css(ChromeColor::border(t)),
            "min-height: " + px(ChromeMetrics::toolbarHeight), "padding: 0 " + px(ChromeMetrics::toolbarPaddingH)});
    const std::string nav = cls(ChromeStyle::navButton), action = cls(ChromeStyle::actionButton);
    w.rule({nav, action, action + " > button"},
           {"color: " + primary, "background: none", "border: none", "box-shadow: none", "padding: 0",
            "min-width: " + px(ChromeMetrics::navButtonSize), "min-height: " + px(ChromeMetrics::navButtonSize)});
    w.rule({nav + ":disabled"}, {"opacity: 0.35", "color: " + primary});
    w.rule({nav + " image"}, {"-gtk-icon-size: 15px"});
    w.rule({action + " image"}, {"-gtk-icon-size: 17px"});
}

void writeOmnibox(SheetWriter& w, const ThemeSettings& t) {
    const std::string box = cls(ChromeStyle::omnibox);
    const double height = ChromeMetrics::toolbarHeight - 12;
    w.rule({box}, {"background-color: " + ChromeColor::css(ChromeColor::omnibox(t)),
                   "box-shadow: inset 0 0 0 1px " + ChromeColor::css(ChromeColor::border(t)),
                   "border-radius: " + px(height / 2), "min-height: " + px(height), "padding: 0 14px"});
    w.rule({box + cls(ChromeStyle::focused)},
           {"background-color: " + ChromeColor::css(ChromeColor::omniboxFocused(t)),
            "box-shadow: inset 0 0 0 2px " + ChromeColor::css(ChromeColor::accent(t))});
    const auto primary = ChromeColor::css(ChromeColor::primaryText(t));
    w.rule({box + " entry", box + " entry:focus-within"},
           {"background: none", "border: none", "box-shadow: none", "outline: none", "min-height: 0",
            "padding: 0", "color: " + primary, "caret-color: " + primary, "font-size: 13px", "font-weight: 400"});
    w.rule({box + " entry placeholder"}, {"color: " + ChromeColor::css(ChromeColor::mutedText(t))});
    w.rule({cls(ChromeStyle::omniboxIcon)},
           {"color: " + ChromeColor::css(ChromeColor::mutedText(t)), "-gtk-icon-size: 14px", "min-width: 16px"});
    const auto orange = ChromeColor::css(ChromeColor::warningOrange());
    w.rule({cls(ChromeStyle::omniboxIcon) + cls(ChromeStyle::warning), cls(ChromeStyle::warning)},
           {"color: " + orange});
    w.rule({cls(ChromeStyle::notSecure)}, {"color: " + orange, "font-size: 10px", "font-weight: 500"});
}

void writeBarsAndTabs(SheetWriter& w, const ThemeSettings& t) {
    const auto frame = ChromeColor::css(ChromeColor::frame(t));
    const auto border = ChromeColor::css(ChromeColor::border(t));
    const auto toolbar = ChromeColor::css(ChromeColor::toolbar(t));
    w.rule({"", cls(ChromeStyle::frame)}, {"background-color: " + frame});
    // The menu bar sits on the window's frame colour, so its titles take the
    // theme's text colour rather than the application-wide scheme's.
    w.rule({"menubar > item"}, {"color: " + ChromeColor::css(ChromeColor::primaryText(t))});
    w.rule({cls(ChromeStyle::tabStrip)},
           {"background-color: " + frame, "min-height: " + px(ChromeMetrics::tabStripHeight),
            "padding-left: " + px(ChromeMetrics::tabStripLeadingInset)});
    // An inactive chip is clear, so the strip's frame colour shows through.
    w.rule({cls(ChromeStyle::tab)},
           {"background-color: transparent",
            "color: " + ChromeColor::css(ChromeColor::mutedText(t)),
            "border-radius: " + px(ChromeMetrics::tabCornerRadius)});
    w.rule({cls(ChromeStyle::tab) + cls(ChromeStyle::activeTab)},
           {"background-color: " + ChromeColor::css(ChromeColor::activeTab(t)),
            "color: " + ChromeColor::css(ChromeColor::primaryText(t))});
    // Practically invisible, in every state, yet the whole circle takes clicks.
    w.rule({cls(ChromeStyle::newTabButton)},
           {"background-color: " + ChromeColor::css(ChromeColor::inactiveTab(t), newTabButtonOpacity)});
    w.rule({cls(ChromeStyle::bookmarksBar)},
           {"background-color: " + toolbar, "color: " + ChromeColor::css(ChromeColor::primaryText(t)),
            "min-height: " + px(ChromeMetrics::bookmarksBarHeight),
            "padding: 0 " + px(ChromeMetrics::toolbarPaddingH), "box-shadow: inset 0 -1px " + border});
    w.rule({cls(ChromeStyle::sidebar)}, {"background-color: " + toolbar, "box-shadow: inset -1px 0 " + border});
    // The sidebar's rows sit on the panel's colour and light up like flat
    // buttons under the pointer.
    const auto primary = ChromeColor::primaryText(t);
    const std::string rows = cls(ChromeStyle::sidebar) + " gridview";
    w.rule({rows}, {"background: none"});
    w.rule({rows + " > child"}, {"padding: 0", "margin: 0", "border-radius: 6px"});
    w.rule({rows + " > child > label"}, {"padding: 6px 12px"});
    w.rule({rows + " > child:hover"}, {"background-color: " + ChromeColor::css(primary, 0.08)});
    w.rule({rows + " > child:active"}, {"background-color: " + ChromeColor::css(primary, 0.16)});
    w.rule({cls(ChromeStyle::separator)}, {"background-color: " + border, "min-height: 1px", "min-width: 1px"});
}

void writeTextAndMaterials(SheetWriter& w, const ThemeSettings& t) {
    w.rule({cls(ChromeStyle::primaryText)}, {"color: " + ChromeColor::css(ChromeColor::primaryText(t))});
    w.rule({cls(ChromeStyle::mutedText)}, {"color: " + ChromeColor::css(ChromeColor::mutedText(t))});
    w.rule({cls(ChromeStyle::card)},
           {"background-color: " + ChromeColor::css(ChromeColor::toolbar(t), materialOpacity),
            "color: " + ChromeColor::css(ChromeColor::primaryText(t)),
            "border-radius: " + px(cardCornerRadius),
            "box-shadow: 0 0 0 1px " + ChromeColor::css(ChromeColor::border(t)) + ", 0 8px 24px " +
                ChromeColor::css(Color{}, 0.3)});
    // The toast floats over pages of any colour: its fill is opaque, so its
    // text reads the same over all of them, and a ring in the muted text
    // colour outlines it over a page as light or dark as the fill.
    w.rule({cls(ChromeStyle::card) + cls(ChromeStyle::toast)},
           {"background-color: " + ChromeColor::css(ChromeColor::toolbar(t)),
            "box-shadow: inset 0 0 0 1px " + ChromeColor::css(ChromeColor::mutedText(t))});
    // The toolbar's menus wear the window's theme, whichever light or dark
    // scheme the application as a whole follows.
    const std::string popover = "popover" + cls(ChromeStyle::themedPopover);
    w.rule({popover + " > contents", popover + " > arrow"},
           {"background-color: " + ChromeColor::css(ChromeColor::toolbar(t)),
            "color: " + ChromeColor::css(ChromeColor::primaryText(t)),
            "border-color: " + ChromeColor::css(ChromeColor::border(t))});
    w.rule({popover + " modelbutton:hover", popover + " modelbutton:selected"},
           {"background-color: " + ChromeColor::css(ChromeColor::primaryText(t), 0.12),
            "color: " + ChromeColor::css(ChromeColor::primaryText(t))});
    const std::string bar = "progressbar" + cls(ChromeStyle::loadProgress);
    // No margins: the theme's negative ones make the bar report a negative width.
    w.rule({bar + " trough", bar + " progress"},
           {"min-height: 3px", "min-width: 0", "margin: 0", "border: none", "border-radius: 0"});
    w.rule({bar + " trough"}, {"background: none"});
    w.rule({bar + " progress"}, {"background-color: " + ChromeColor::css(ChromeColor::accent(t))});
}

}  // namespace

const char* ThemeEnvironment::windowClass(bool guestWindow) {
    return guestWindow ? ChromeStyle::guestWindow : ChromeStyle::mainWindow;
}

std::string ThemeEnvironment::styleSheet(const ThemeSettings& theme, std::string_view windowClass) {
    SheetWriter writer(windowClass);
    writeBarsAndTabs(writer, theme);
    writeToolbar(writer, theme);
    writeOmnibox(writer, theme);
    writeTextAndMaterials(writer, theme);
    return writer.take();
}

ThemeEnvironment::ThemeEnvironment(std::shared_ptr<AppState> appState, Gtk::Window& window)
    : appState_(std::move(appState)),
      window_(window),
      windowClass_(windowClass(appState_->isGuestWindow())),
      provider_(Gtk::CssProvider::create()),
      display_(window.get_display()),
      refresh_(std::make_unique<ViewRefresh>(appState_->mainQueue(), [this] { apply(); })) {
    window_.add_css_class(windowClass_);
    Gtk::StyleContext::add_provider_for_display(display_, provider_, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    profileConnection_ = appState_->profileData.signalWillChange().connect([this] { refresh_->schedule(); });
    apply();
}

ThemeEnvironment::~ThemeEnvironment() {
    profileConnection_.disconnect();
    Gtk::StyleContext::remove_provider_for_display(display_, provider_);
}

void ThemeEnvironment::apply() {
    const ThemeSettings& theme = appState_->theme();
    if (applied_ && *applied_ == theme) return;
    applied_ = theme;
    css_ = styleSheet(theme, windowClass_);
    provider_->load_from_data(css_);
    if (!appState_->isGuestWindow())
        Gtk::Settings::get_for_display(display_)->property_gtk_application_prefer_dark_theme() = theme.useDarkMode;
    themeApplied_.emit();
}

}  // namespace quorelle
