#include "window/FixedStyle.h"

#include <gdkmm/display.h>
#include <gtkmm/stylecontext.h>

#include <set>
#include <utility>

namespace quorelle {

Glib::RefPtr<Gtk::CssProvider> FixedStyle::sheet(const std::string& css) {
    auto sheet = Gtk::CssProvider::create();
    sheet->load_from_data(css);
    return sheet;
}

void FixedStyle::installForDisplay(const char* css) {
    static std::set<std::pair<GdkDisplay*, const char*>> installed;
    auto display = Gdk::Display::get_default();
    if (!display || !installed.insert({display->gobj(), css}).second) return;
    Gtk::StyleContext::add_provider_for_display(display, sheet(css), GTK_STYLE_PROVIDER_PRIORITY_APPLICATION + 1);
}

}  // namespace quorelle
