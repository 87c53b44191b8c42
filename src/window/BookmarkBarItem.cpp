#include "window/BookmarkBarItem.h"

#include "model/Text.h"
#include "window/ChromeMetrics.h"
#include "window/ChromeStyle.h"
#include "window/FixedStyle.h"
#include "window/LabelFont.h"

namespace quorelle {

Glib::RefPtr<Gtk::CssProvider> BookmarkBarItem::buttonStyle() {
    static const auto provider = FixedStyle::sheet(
        "button { padding: " + ChromeMetrics::cssPx(paddingV) + " " + ChromeMetrics::cssPx(paddingH) +
        "; min-height: 0; min-width: 0; margin: 0; border: none; box-shadow: none; background: none; }"
        "button:hover { background-color: alpha(currentColor, 0.08); }"
        "button:checked, button:active { background-color: alpha(currentColor, 0.16); }");
    return provider;
}

void BookmarkBarItem::prepareTitle(Gtk::Label& title, const char* name, const std::string& text) {
    title.set_name(name);
    title.set_text(text);
    title.set_use_markup(false);
    title.set_use_underline(false);
    title.set_single_line_mode(true);
    title.set_valign(Gtk::Align::CENTER);
    title.add_css_class(ChromeStyle::primaryText);
    LabelFont::set(title, titleFontSize);
}

Glib::ustring BookmarkBarItem::plainMenuLabel(std::string_view text) {
    // Menu labels read "_" as a mnemonic mark; a doubled one is a literal.
    return text::replaceAll(text, "_", "__");
}

}  // namespace quorelle
