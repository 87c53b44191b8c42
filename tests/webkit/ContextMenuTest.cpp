// The page's right-click menu: the browser's own entries replace the engine's,
// with enabled states taken from the tab when the menu opens.
#include "webkit/WebTestSupport.h"

#include "web/WebContextMenuHandler.h"

#include <gmock/gmock.h>

namespace quorelle::testing {
namespace {

const char* kFirst = "<html><head><title>First</title></head><body><a id=next href=\"/second\">next</a></body></html>";
const char* kSecond = "<html><head><title>Second</title></head><body>two</body></html>";

struct ShownItem {
    std::string action;  // "" for a separator
    bool enabled = false;
    friend bool operator==(const ShownItem&, const ShownItem&) = default;
    friend std::ostream& operator<<(std::ostream& out, const ShownItem& item) {
        return out << (item.action.empty() ? "---" : item.action) << (item.enabled ? "" : " (disabled)");
    }
};

std::vector<ShownItem> itemsOf(WebKitContextMenu* menu) {
    std::vector<ShownItem> shown;
    for (GList* it = webkit_context_menu_get_items(menu); it; it = it->next) {
        auto* item = WEBKIT_CONTEXT_MENU_ITEM(it->data);
        GAction* action = webkit_context_menu_item_get_gaction(item);
        if (webkit_context_menu_item_is_separator(item) || !action)
            shown.push_back({"", false});
        else
            shown.push_back({g_action_get_name(action), static_cast<bool>(g_action_get_enabled(action))});
    }
    return shown;
}

GAction* actionNamed(WebKitContextMenu* menu, const std::string& name) {
    for (GList* it = webkit_context_menu_get_items(menu); it; it = it->next) {
        GAction* action = webkit_context_menu_item_get_gaction(WEBKIT_CONTEXT_MENU_ITEM(it->data));
        if (action && name == g_action_get_name(action)) return action;
    }
    return nullptr;
}

class ContextMenuTest : public WebTest {
protected:
    // A fresh menu holding one engine entry, as the engine would offer it.
    static GObjectPtr<WebKitContextMenu> engineMenu() {
        auto menu = GObjectPtr<WebKitContextMenu>::adopt(webkit_context_menu_new());
        webkit_context_menu_append(menu.get(),
                                   webkit_context_menu_item_new_from_stock_action(WEBKIT_CONTEXT_MENU_ACTION_COPY));
        return menu;
    }
    // The active tab's menu, built now.
    GObjectPtr<WebKitContextMenu> openMenu() {
        auto menu = engineMenu();
        WebContextMenuHandler handler(*webStore, host()->coordinator().weak_from_this());
        EXPECT_TRUE(handler.customizeContextMenu(menu.get(), view()));
        return menu;
    }
    void activate(WebKitContextMenu* menu, const std::string& name) {
        GAction* action = actionNamed(menu, name);
        ASSERT_NE(action, nullptr) << name;
        g_action_activate(action, nullptr);
    }
    void loadFirstPage() {
        server.addHTML("/first", kFirst);
        server.addHTML("/second", kSecond);
        start();
        ASSERT_TRUE(loadPage(server.url("/first")));
    }
};

TEST_F(ContextMenuTest, WebPageShowsTheBrowsersEntriesInPlaceOfTheEngines) {
    loadFirstPage();
    auto menu = openMenu();
    EXPECT_THAT(itemsOf(menu.get()), ::testing::ElementsAre(ShownItem{"back", false}, ShownItem{"forward", false},
                                                            ShownItem{"reload", true}, ShownItem{"", false},
                                                            ShownItem{"save-as", true}, ShownItem{"new-tab", true},
                                                            ShownItem{"", false}, ShownItem{"inspect", true}));
    std::vector<std::string> titles;
    for (const auto& entry : WebContextMenuHandler::entries()) titles.push_back(entry.title);
    EXPECT_THAT(titles, ::testing::ElementsAre("Back", "Forward", "Reload", "Save As\u2026", "New Tab", "Inspect"));
}

TEST_F(ContextMenuTest, BackAndForwardFollowTheViewsHistory) {
    loadFirstPage();
    evalJS("document.getElementById('next').click()");
    ASSERT_TRUE(waitForPage(server.url("/second")));
    auto menu = openMenu();
    EXPECT_TRUE(g_action_get_enabled(actionNamed(menu.get(), "back")));
    EXPECT_FALSE(g_action_get_enabled(actionNamed(menu.get(), "forward")));
    activate(menu.get(), "back");
    ASSERT_TRUE(waitForPage(server.url("/first")));

    menu = openMenu();
    EXPECT_TRUE(g_action_get_enabled(actionNamed(menu.get(), "forward")));
    activate(menu.get(), "forward");
    EXPECT_TRUE(waitForPage(server.url("/second")));
}

TEST_F(ContextMenuTest, InternalPageDisablesSaveAsAndItsHistoryEnablesBack) {
    start();
    auto menu = openMenu();
    EXPECT_FALSE(g_action_get_enabled(actionNamed(menu.get(), "back")));
    EXPECT_FALSE(g_action_get_enabled(actionNamed(menu.get(), "save-as")));

    ASSERT_TRUE(loadPage("vx://settings"));
    menu = openMenu();
    EXPECT_TRUE(g_action_get_enabled(actionNamed(menu.get(), "back")));
    EXPECT_FALSE(g_action_get_enabled(actionNamed(menu.get(), "save-as")));
    EXPECT_TRUE(g_action_get_enabled(actionNamed(menu.get(), "reload")));
    activate(menu.get(), "back");
    EXPECT_TRUE(waitForPage("vx://newtab"));
}

TEST_F(ContextMenuTest, EnabledStatesAreTakenWhenTheMenuOpens) {
    loadFirstPage();
    auto menu = openMenu();
    evalJS("document.getElementById('next').click()");
    ASSERT_TRUE(waitForPage(server.url("/second")));
    EXPECT_FALSE(g_action_get_enabled(actionNamed(menu.get(), "back")));
}

TEST_F(ContextMenuTest, NewTabOpensTheNewTabChoiceAtTheEnd) {
    loadFirstPage();
    auto menu = openMenu();
    const auto before = state->tabs.get().size();
    activate(menu.get(), "new-tab");
    ASSERT_EQ(state->tabs.get().size(), before + 1);
    EXPECT_EQ(state->tabs.get().back()->id(), state->activeTabID.get());
    EXPECT_EQ(state->tabs.get().back()->urlString.get(), "vx://newtab");
}

TEST_F(ContextMenuTest, ReloadAsksTheServerAgain) {
    loadFirstPage();
    const auto asked = [&] { return std::count(server.requestedPaths.begin(), server.requestedPaths.end(), "/first"); };
    const auto before = asked();
    activate(openMenu().get(), "reload");
    EXPECT_TRUE(runUntil([&] { return asked() == before + 1; }));
}

TEST_F(ContextMenuTest, InspectOpensTheEnginesInspector) {
    loadFirstPage();
    WebKitWebInspector* inspector = webkit_web_view_get_inspector(view());
    int opened = 0;
    // The engine first offers to attach the inspector, then to open a window
    // for it; either answer means it is being shown.
    for (const char* signal : {"attach", "open-window"}) {
        g_signal_connect(inspector, signal, G_CALLBACK(+[](WebKitWebInspector*, gpointer count) -> gboolean {
                             ++*static_cast<int*>(count);
                             return TRUE;  // no inspector window in tests
                         }),
                         &opened);
    }
    activate(openMenu().get(), "inspect");
    EXPECT_TRUE(webkit_settings_get_enable_developer_extras(webkit_web_view_get_settings(view())));
    EXPECT_TRUE(runUntil([&] { return opened == 1; }));
    EXPECT_FALSE(state->showInspectorPanel.get());
    g_signal_handlers_disconnect_by_data(inspector, &opened);
}

TEST_F(ContextMenuTest, WithoutATabOrStateTheEnginesMenuStays) {
    start();
    auto menu = engineMenu();
    WebContextMenuHandler orphan(*webStore, std::weak_ptr<WebViewCoordinator>());
    EXPECT_FALSE(orphan.customizeContextMenu(menu.get(), view()));
    EXPECT_EQ(webkit_context_menu_get_n_items(menu.get()), 1u);

    auto coordinator = host()->coordinator().shared_from_this();
    WebContextMenuHandler handler(*webStore, coordinator);
    WebKitWebView* heldView = view();
    g_object_ref(heldView);
    state.reset();  // the state and its tabs are gone; the coordinator is not
    EXPECT_FALSE(handler.customizeContextMenu(menu.get(), heldView));
    EXPECT_EQ(webkit_context_menu_get_n_items(menu.get()), 1u);
    g_object_unref(heldView);
}

TEST_F(ContextMenuTest, EveryTabViewAnswersTheEnginesMenuSignal) {
    loadFirstPage();
    auto menu = engineMenu();
    gboolean handled = TRUE;
    g_signal_emit_by_name(view(), "context-menu", menu.get(), nullptr, &handled);
    EXPECT_FALSE(handled);  // the engine goes on to show the menu
    EXPECT_EQ(webkit_context_menu_get_n_items(menu.get()), 8u);
    EXPECT_NE(actionNamed(menu.get(), "save-as"), nullptr);
}

}  // namespace
}  // namespace quorelle::testing
