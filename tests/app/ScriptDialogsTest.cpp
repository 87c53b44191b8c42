#include "app/AppTestSupport.h"
#include "support/MessageDialogShape.h"
#include "support/RealInput.h"

#include <gtkmm/button.h>
#include <gtkmm/messagedialog.h>
#include <webkit/webkit.h>

namespace quorelle::testing {
namespace {

// confirm() and prompt() of the browser's own pages, answered in the
// browser's dialog with real clicks and key presses; a web page's stay the
// engine's.
class ScriptDialogsTest : public AppTest {
protected:
    WebKitWebView* page() {
        GtkWidget* shown = mainWindow().browserView().tabContent().webTabView().shownView();
        return shown ? WEBKIT_WEB_VIEW(shown) : nullptr;
    }
    // Every internal page shows under the same base address: the tab must
    // name the page asked for, and the view have loaded that page, which
    // bears the tab's title (the page before it, loaded under the same
    // address, does not).
    void open(const std::string& address, const std::string& shownPrefix) {
        state->navigateActive(address);
        ASSERT_TRUE(runUntil([&] {
            const char* uri = shownPageLoaded() ? webkit_web_view_get_uri(page()) : nullptr;
            const char* title = uri ? webkit_web_view_get_title(page()) : nullptr;
            return uri && std::string(uri).starts_with(shownPrefix) && state->activeTab()->urlString.get() == address &&
                   title && state->activeTab()->title.get() == title;
        })) << address << " shows " << shownTitle() << " for " << state->activeTab()->title.get();
        // Whatever gets past the browser reaches the engine's own handling.
        g_signal_handlers_disconnect_by_data(page(), this);
        g_signal_connect(page(), "script-dialog", G_CALLBACK(+[](WebKitWebView*, WebKitScriptDialog* dialog, gpointer data) {
            static_cast<ScriptDialogsTest*>(data)->engineDialogs.push_back(webkit_script_dialog_get_message(dialog));
            return TRUE;
        }), this);
    }
    std::string shownTitle() {
        const char* title = page() ? webkit_web_view_get_title(page()) : nullptr;
        return title ? std::string("\"") + title + "\"" : "nothing";
    }
    void run(const std::string& script) {
        webkit_web_view_evaluate_javascript(page(), script.c_str(), -1, nullptr, nullptr, nullptr, nullptr, nullptr);
    }
    void press(const std::string& label) {
        run("[...document.querySelectorAll('button')].find(b => b.textContent == '" + label + "').click()");
    }
    static Gtk::MessageDialog* browserDialog() {
        for (Gtk::Window* window : Gtk::Window::list_toplevels())
            if (window->get_name() == "script-dialog" && window->get_visible())
                return dynamic_cast<Gtk::MessageDialog*>(window);
        return nullptr;
    }
    static Gtk::Button* button(Gtk::MessageDialog& dialog, Gtk::ResponseType response) {
        return dynamic_cast<Gtk::Button*>(dialog.get_widget_for_response(response));
    }
    // The dialog has the width and margins of the "already running" one, and
    // room for its title.
    void expectTheLookOfTheAlreadyRunningDialog(Gtk::MessageDialog& dialog) {
        MessageDialogShape::expectTheLookOf(reference, dialog, *button(dialog, Gtk::ResponseType::OK));
    }

    // Measured before the browser's own dialogs open, in the same toolkit.
    const MessageDialogShape reference = MessageDialogShape::alreadyRunning(&mainWindow());

    std::vector<std::string> engineDialogs;
};

TEST_F(ScriptDialogsTest, AnInternalPageConfirmsInTheBrowsersOwnDialog) {
    state->profileData.modify([&](ProfileData& d) {
        HistoryItem visit;
        visit.title = "Visited";
        visit.url = server.url("/visited");
        d.history = {visit};
    });
    ASSERT_NO_FATAL_FAILURE(open("vx://history", "https://vx-internal.invalid/"));
    press("Clear history");
    ASSERT_TRUE(runUntil([] { return browserDialog() != nullptr; }));
    Gtk::MessageDialog& dialog = *browserDialog();
    EXPECT_EQ(dialog.get_title(), "Quorelle");
    EXPECT_EQ(dialog.property_text().get_value(), "Clear all history?");
    EXPECT_TRUE(dialog.get_modal());
    EXPECT_EQ(dialog.get_transient_for(), &mainWindow());
    ASSERT_NE(button(dialog, Gtk::ResponseType::CANCEL), nullptr);
    ASSERT_NE(button(dialog, Gtk::ResponseType::OK), nullptr);
    EXPECT_EQ(button(dialog, Gtk::ResponseType::CANCEL)->get_label(), "Cancel");
    EXPECT_EQ(button(dialog, Gtk::ResponseType::OK)->get_label(), "OK");
    expectTheLookOfTheAlreadyRunningDialog(dialog);

    ASSERT_TRUE(runUntil([&] { return button(dialog, Gtk::ResponseType::OK)->get_width() > 0; }));
    ASSERT_TRUE(clickWidget(*button(dialog, Gtk::ResponseType::OK)));
    EXPECT_TRUE(runUntil([&] {
        settle();
        return state->profileData.get().history.empty();
    }));
    EXPECT_EQ(browserDialog(), nullptr);
    EXPECT_TRUE(engineDialogs.empty());
}

TEST_F(ScriptDialogsTest, AnInternalPagePromptTakesTheTypedTextAWebPageKeepsTheEnginesDialog) {
    ASSERT_NO_FATAL_FAILURE(open("vx://bookmarks", "https://vx-internal.invalid/"));
    press("New Folder");
    ASSERT_TRUE(runUntil([] { return browserDialog() != nullptr; }));
    EXPECT_EQ(browserDialog()->property_text().get_value(), "Folder name");
    expectTheLookOfTheAlreadyRunningDialog(*browserDialog());
    ASSERT_TRUE(runUntil([] { return typeText(*browserDialog(), "reading list"); }));
    ASSERT_TRUE(pressKey(*browserDialog(), GDK_KEY_Return));
    ASSERT_TRUE(runUntil([&] {
        settle();
        return !state->profileData.get().bookmarkFolders.empty();
    }));
    EXPECT_EQ(state->profileData.get().bookmarkFolders[0].name, "reading list");
    EXPECT_TRUE(engineDialogs.empty());

    server.addHTML("/page", "<html><head><title>Web</title></head><body>web</body></html>");
    ASSERT_NO_FATAL_FAILURE(open(server.url("/page"), server.url("/page")));
    run("confirm('From the web')");
    ASSERT_TRUE(runUntil([&] { return !engineDialogs.empty(); }));
    EXPECT_EQ(engineDialogs, std::vector<std::string>{"From the web"});
    EXPECT_EQ(browserDialog(), nullptr);
}

}  // namespace
}  // namespace quorelle::testing
