#pragma once

#include <memory>

namespace quorelle {

class AppState;
class BookmarksBar;
class BrowserMenu;
class ProfileMenu;
class RootView;
class Sidebar;
struct BrowserServices;

// The controls a window adds to its layout beyond the tab strip, toolbar and
// page: the bookmarks bar, the sidebar on either dock side, the two toolbar
// menus, and the cards the root view presents over everything.
class WindowControls {
public:
    WindowControls(std::shared_ptr<AppState> appState, RootView& root, BrowserServices& services);
    ~WindowControls();
    WindowControls(const WindowControls&) = delete;
    WindowControls& operator=(const WindowControls&) = delete;

    BookmarksBar& bookmarksBar() { return *bookmarksBar_; }
    Sidebar& leftSidebar() { return *leftSidebar_; }
    Sidebar& rightSidebar() { return *rightSidebar_; }
    BrowserMenu& browserMenu() { return *browserMenu_; }
    ProfileMenu& profileMenu() { return *profileMenu_; }

private:
    void registerCards(RootView& root, BrowserServices& services);

    std::unique_ptr<BookmarksBar> bookmarksBar_;
    std::unique_ptr<Sidebar> leftSidebar_;
    std::unique_ptr<Sidebar> rightSidebar_;
    std::unique_ptr<BrowserMenu> browserMenu_;
    std::unique_ptr<ProfileMenu> profileMenu_;
};

}  // namespace quorelle
