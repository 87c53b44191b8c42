#pragma once

// The whole browser with pages that report every key they hear, driven with
// real clicks and keys: where typed keys land (a page or the omnibox) shows
// where the keyboard focus is.

#include "app/AppTestSupport.h"
#include "support/KeyReportingPage.h"
#include "support/RealInput.h"

#include <gtk/gtk.h>
#include <gtkmm/label.h>

#include <array>
#include <string>
#include <string_view>

namespace quorelle::testing {

class TypingTest : public AppTest {
protected:
    static constexpr const char* pageA = "/keysA";
    static constexpr const char* pageB = "/keysB";

    TypingTest() {
        KeyReportingPage::serve(server, pageA);
        KeyReportingPage::serve(server, pageB);
    }

    BrowserView& view() { return mainWindow().browserView(); }
    OmniboxField& omnibox() { return view().toolbar().omnibox(); }
    // The active tab's web view.
    Gtk::Widget* page() { return Glib::wrap(view().tabContent().webTabView().shownView()); }

    // Loads `path` in the active tab and waits until it is on screen.
    void show(const char* path) {
        ASSERT_TRUE(runUntil([&] { return mainWindow().get_mapped(); }));
        state->navigateActive(server.url(path));
        ASSERT_TRUE(runUntil([&] {
            return shownPageLoaded() && state->activeTab()->title.get() == KeyReportingPage::title(path);
        })) << state->activeTab()->title.get() << " " << state->activeTab()->urlString.get();
    }

    // Clicks the middle of `widget` once it is laid out there: a panel just
    // opened may not have pushed the page aside yet.
    void click(Gtk::Widget& widget, unsigned button = 1) {
        ASSERT_TRUE(runUntil([&] { return underItsMiddle(widget) && clickWidget(widget, button); }));
    }
    static bool underItsMiddle(Gtk::Widget& widget) {
        if (!widget.get_mapped() || widget.get_width() <= 0) return false;
        GtkWidget* native = GTK_WIDGET(gtk_widget_get_native(widget.gobj()));
        double x = 0, y = 0;
        if (!native || !gtk_widget_translate_coordinates(widget.gobj(), native, widget.get_width() / 2.0,
                                                         widget.get_height() / 2.0, &x, &y))
            return false;
        GtkWidget* hit = gtk_widget_pick(native, x, y, GTK_PICK_DEFAULT);
        return hit && (hit == widget.gobj() || gtk_widget_is_ancestor(hit, widget.gobj()));
    }
    void press(const char* accelerator) {
        ASSERT_TRUE(runUntil([&] { return pressAccelerator(mainWindow(), accelerator); })) << accelerator;
    }
    // Clicks the page, which takes the keyboard focus.
    void clickPage() {
        Gtk::Widget* shown = page();
        ASSERT_NE(shown, nullptr);
        click(*shown);
        ASSERT_TRUE(runUntil([&] { return mainWindow().get_focus() == shown; })) << focusName();
    }

    // Types two letters, once the browser has taken in what came before, as
    // the user does: true once the page at `path` has heard both. The letters
    // change from one typing to the next, so that a late report of an
    // earlier typing never stands in for them.
    bool typedIntoPage(const char* path) {
        settle();
        const std::string text = {nextLetter(), nextLetter()};
        const std::array before = {KeyReportingPage::heard(server, path, text[0]),
                                   KeyReportingPage::heard(server, path, text[1])};
        return runUntil([&] { return typeText(mainWindow(), text); }) && runUntil([&] {
                   return KeyReportingPage::heard(server, path, text[0]) > before[0] &&
                          KeyReportingPage::heard(server, path, text[1]) > before[1];
               });
    }
    char nextLetter() { return static_cast<char>('a' + letters_++ % 26); }
    // The same, true once the omnibox ends with it (what was selected there
    // as the field took the focus is typed over).
    bool typedIntoOmnibox(std::string_view text) {
        settle();
        return runUntil([&] { return typeText(mainWindow(), text); }) &&
               runUntil([&] { return omnibox().editText().ends_with(text); });
    }

    // The keyboard focus is `widget` or inside it.
    bool focusIn(Gtk::Widget& widget) {
        auto* focus = mainWindow().get_focus();
        return focus && (focus == &widget || focus->is_ancestor(widget));
    }
    // What holds the keyboard focus, for failure messages.
    std::string focusName() {
        auto* focus = mainWindow().get_focus();
        if (!focus) return "nothing";
        if (focus == page()) return "the page";
        std::string name = G_OBJECT_TYPE_NAME(focus->gobj());
        for (auto* at = focus; at; at = at->get_parent())
            if (at->get_name() != G_OBJECT_TYPE_NAME(at->gobj())) return name + " in " + std::string(at->get_name());
        return name;
    }
    // The first label showing `text` inside `widget`.
    static Gtk::Widget* labelIn(Gtk::Widget& widget, std::string_view text) {
        if (auto* label = dynamic_cast<Gtk::Label*>(&widget); label && label->get_text().raw() == text) return label;
        for (auto* child = widget.get_first_child(); child; child = child->get_next_sibling())
            if (auto* found = labelIn(*child, text)) return found;
        return nullptr;
    }

private:
    unsigned letters_ = 0;
};

}  // namespace quorelle::testing
