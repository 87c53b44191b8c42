#pragma once

// The whole browser with pages that report every key they hear, driven with
// real clicks and keys: where typed keys land (a page or the omnibox) shows
// where the keyboard focus is.

#include "app/AppTestSupport.h"
#include "support/KeyReportingPage.h"
#include "support/RealInput.h"

#include "model/JsonCodec.h"
#include "model/GLibPtr.h"

#include "window/Sidebar.h"
#include "window/TabChip.h"

#include <gtk/gtk.h>
#include <webkit/webkit.h>
#include <gtkmm/label.h>
#include <gtkmm/popover.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
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
    // Clicks the page, which takes the keyboard focus, and waits until the
    // page has taken the click in: what it answers the click with (the
    // engine hands the focus to the page again as the page tells it the
    // click focused something) must not come after what the case does next.
    void clickPage() {
        Gtk::Widget* shown = page();
        ASSERT_NE(shown, nullptr);
        ASSERT_TRUE(runUntil([&] { return underItsMiddle(*shown); }));
        ASSERT_TRUE(clickPageAt(shown->get_width() / 2.0, shown->get_height() / 2.0));
        ASSERT_TRUE(runUntil([&] { return mainWindow().get_focus() == shown; })) << focusName();
        settle();
    }
    // Clicks the shown page at (x, y), for real, and waits until the page
    // has taken the click in, or gone for what the click opened. The engine
    // sends a page its clicks and its keys on separate queues, and a click
    // waits there until the page has taken the pointer's move to it: keys
    // typed at once can reach the page before the click does.
    bool clickPageAt(double x, double y) {
        const std::string watch =
            "window.clickTaken = false; addEventListener('mouseup', function() { window.clickTaken = true; },"
            " {capture: true, once: true}); true";
        return runUntil([&] { return evalInPage(watch) == "true"; }) &&
               runUntil([&] { return clickWidgetAt(*page(), x, y); }) &&
               runUntil([&] { return evalInPage("window.clickTaken !== false") == "true"; });
    }

    // Runs `script` in the page `view` shows (the active tab's by default)
    // and waits for what it ends with, as JSON ("" when it failed). An
    // `awaited` script is a function body whose promise is waited for.
    std::string evalInPage(const std::string& script, GtkWidget* view = nullptr, bool awaited = false) {
        if (!view) view = page() ? page()->gobj() : nullptr;
        if (!view || !WEBKIT_IS_WEB_VIEW(view)) return "";
        // Held by the engine's callback too, which may come after a wait gave up.
        struct Pending {
            bool awaited;
            std::shared_ptr<std::optional<std::string>> answer = std::make_shared<std::optional<std::string>>();
        };
        auto* pending = new Pending{awaited};
        const auto answer = pending->answer;
        auto done = [](GObject* source, GAsyncResult* result, gpointer data) {
            std::unique_ptr<Pending> pending(static_cast<Pending*>(data));
            auto* web = WEBKIT_WEB_VIEW(source);
            auto* value = pending->awaited ? webkit_web_view_call_async_javascript_function_finish(web, result, nullptr)
                                           : webkit_web_view_evaluate_javascript_finish(web, result, nullptr);
            GCharPtr json(value && !jsc_value_is_undefined(value) ? jsc_value_to_json(value, 0) : nullptr);
            *pending->answer = json ? json.get() : "";
            if (value) g_object_unref(value);
        };
        if (awaited)
            webkit_web_view_call_async_javascript_function(WEBKIT_WEB_VIEW(view), script.c_str(), -1, nullptr, nullptr,
                                                           nullptr, nullptr, done, pending);
        else
            webkit_web_view_evaluate_javascript(WEBKIT_WEB_VIEW(view), script.c_str(), -1, nullptr, nullptr, nullptr,
                                                done, pending);
        runUntil([&] { return answer->has_value(); });
        return answer->value_or("");
    }
    // Waits until the shown page has drawn two frames since now: the engine
    // takes no clicks into a page it has not drawn yet.
    bool pageDrawn() {
        return evalInPage("await new Promise(function(drawn) {"
                          " requestAnimationFrame(function() { requestAnimationFrame(drawn); }); });"
                          " return true;",
                          nullptr, true) == "true";
    }

    // Clicks, for real, the element of the shown page that the script
    // `element` gives, scrolled into view first.
    void clickInPage(const std::string& element) {
        const std::string script = "(function() { var el = " + element +
                                   "; if (!el) return null; el.scrollIntoView({block: 'center'});"
                                   " var r = el.getBoundingClientRect();"
                                   " return [r.x + r.width / 2, r.y + r.height / 2]; })()";
        Json at;
        ASSERT_TRUE(runUntil([&] {
            at = json::parse(evalInPage(script)).value_or(Json());
            return at.is_array();
        })) << element;
        ASSERT_TRUE(clickPageAt(at[0].get<double>(), at[1].get<double>())) << element;
    }

    // Types two letters, once the browser has taken in what came before, as
    // the user does: true once the page at `path` has heard both. The letters
    // change from one typing to the next, so that a late report of an
    // earlier typing never stands in for them.
    // A case that tries many ways in turn gives each a shorter `limitMs`, so
    // that one that fails them all still ends, by name, within its own limit.
    bool typedIntoPage(const char* path, int limitMs = 30000) {
        settle();
        const std::string text = {nextLetter(), nextLetter()};
        const std::array before = {KeyReportingPage::heard(server, path, text[0]),
                                   KeyReportingPage::heard(server, path, text[1])};
        auto heard = [&] {
            return KeyReportingPage::heard(server, path, text[0]) > before[0] &&
                   KeyReportingPage::heard(server, path, text[1]) > before[1];
        };
        return runUntil([&] { return typeText(mainWindow(), text); }) && runUntil(heard, limitMs);
    }
    char nextLetter() { return static_cast<char>('a' + letters_++ % 26); }

    // The same, true once the omnibox ends with it (what was selected there
    // as the field took the focus is typed over).
    bool typedIntoOmnibox(std::string_view text, int limitMs = 30000) {
        settle();
        return runUntil([&] { return typeText(mainWindow(), text); }) &&
               runUntil([&] { return omnibox().editText().ends_with(text); }, limitMs);
    }

    // The keyboard focus is `widget` or inside it.
    bool focusIn(Gtk::Widget& widget) {
        auto* focus = mainWindow().get_focus();
        return focus && (focus == &widget || focus->is_ancestor(widget));
    }
    // The window typed keys go to now: a dialog, sheet or the guest window
    // in front of the main window, else the main window.
    Gtk::Window& keyWindow() {
        Gtk::Window* front = &mainWindow();
        for (Gtk::Window* window : Gtk::Window::list_toplevels())
            if (window != &mainWindow() && window->get_mapped() &&
                (window->get_transient_for() == &mainWindow() || window == app->guestWindow()))
                front = window;
        return *front;
    }
    // Types two letters into that window, as the user goes on typing, and
    // says where they landed: in a text field (named), or heard by a page
    // that is not a New Tab page. Nothing when they went nowhere. A page that
    // renders itself again meanwhile is typed into again.
    std::optional<std::string> typedLandsIn() {
        for (int tries = 0; tries < 5; ++tries) {
            settle();
            Gtk::Window& window = keyWindow();
            Gtk::Widget* focus = window.get_focus();
            const std::string text = {nextLetter(), nextLetter()};
            if (focus && GTK_IS_EDITABLE(focus->gobj())) {
                auto* field = GTK_EDITABLE(focus->gobj());
                auto landed = [&] { return std::string(gtk_editable_get_text(field)).find(text) != std::string::npos; };
                if (!runUntil([&] { return typeText(window, text); }) || !runUntil(landed)) return std::nullopt;
                return "the field " + focusName(window);
            }
            if (!focus || !WEBKIT_IS_WEB_VIEW(focus->gobj())) return std::nullopt;
            auto* tab = focus == page() ? state->activeTab().get() : nullptr;
            if (tab && tab->urlString.get() == "vx://newtab") return std::nullopt;
            GtkWidget* view = focus->gobj();
            const std::string listen =
                "window.heardKeys = ''; addEventListener('keydown', function(e) { window.heardKeys += e.key; }, true);"
                " true";
            // A page on its way in takes no script until it is there.
            if (!runUntil([&] { return evalInPage(listen, view) == "true"; })) return std::nullopt;
            if (!runUntil([&] { return typeText(window, text); })) return std::nullopt;
            std::string heard;
            runUntil([&] {
                heard = evalInPage("window.heardKeys === undefined ? 'rendered again' : window.heardKeys", view);
                return heard.find(text) != std::string::npos || heard == "\"rendered again\"";
            });
            if (heard.find(text) != std::string::npos)
                return "the page " + std::string(webkit_web_view_get_uri(WEBKIT_WEB_VIEW(view)) ?: "");
            if (heard != "\"rendered again\"") return std::nullopt;
        }
        return std::nullopt;
    }
    // What holds the keyboard focus, for failure messages.
    std::string focusName() { return focusName(mainWindow()); }
    std::string focusName(Gtk::Window& window) {
        auto* focus = window.get_focus();
        if (!focus) return "nothing";
        if (focus == page()) return "the page";
        std::string name = G_OBJECT_TYPE_NAME(focus->gobj());
        for (auto* at = focus; at; at = at->get_parent())
            if (at->get_name() != G_OBJECT_TYPE_NAME(at->gobj())) return name + " in " + std::string(at->get_name());
        return name;
    }
    // A popover of the window on screen (a menu of the menu bar, a pull-down,
    // a context menu), if any.
    Gtk::Popover* openPopover() { return openPopoverIn(mainWindow()); }
    static Gtk::Popover* openPopoverIn(Gtk::Widget& widget) {
        if (auto* popover = dynamic_cast<Gtk::Popover*>(&widget); popover && popover->get_mapped()) return popover;
        for (auto* child = widget.get_first_child(); child; child = child->get_next_sibling())
            if (auto* found = openPopoverIn(*child)) return found;
        return nullptr;
    }
    Gtk::Widget& menuBarItem(const char* title) {
        Gtk::Widget* item = nullptr;
        for (auto* child = mainWindow().get_first_child(); child && !item; child = child->get_next_sibling())
            if (GTK_IS_POPOVER_MENU_BAR(child->gobj())) item = labelIn(*child, title);
        EXPECT_NE(item, nullptr) << title;
        return *item;
    }
    TabChip& chipOf(const AppState::TabPtr& tab) { return *view().tabStrip().chipFor(tab->id()); }
    // Clicks the tab's chip and waits until the tab is on screen.
    void choose(const AppState::TabPtr& tab) {
        click(chipOf(tab));
        ASSERT_TRUE(runUntil([&] { return view().tabContent().tab() == tab; }));
    }

    // The sidebar on the profile's side.
    Sidebar& shownSidebar() {
        auto& controls = mainWindow().controls();
        return state->settings().sidebarDock == SidebarDock::left ? controls.leftSidebar() : controls.rightSidebar();
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
