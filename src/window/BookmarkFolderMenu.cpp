#include "window/BookmarkFolderMenu.h"

#include "state/AppState.h"
#include "window/BookmarkBarItem.h"
#include "window/ChromeMetrics.h"
#include "window/ChromeStyle.h"

#include <glibmm/variant.h>
#include <gtkmm/togglebutton.h>
#include <gtk/gtk.h>

#include <utility>

namespace quorelle {
namespace {

// The first menu item under `widget` that lines its start up with the
// other items' through a shared width group, or null.
GtkWidget* findAlignedItem(GtkWidget* widget) {
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(widget), "indicator-size-group")) return widget;
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child; child = gtk_widget_get_next_sibling(child))
        if (GtkWidget* found = findAlignedItem(child)) return found;
    return nullptr;
}

// A popover menu gives every item's check-mark slot one shared width, so
// that labels line up beside items that show a check or radio mark. The
// toolkit then measures every slot whenever one of them is measured or
// resized, which for thousands of items is most of a second. None of our
// items has a mark (every slot is empty), so the widths are let go.
void releaseMarkWidths(Gtk::PopoverMenu& menu) {
    GtkWidget* item = findAlignedItem(GTK_WIDGET(menu.gobj()));
    if (!item) return;
    GtkSizeGroup* group = nullptr;
    g_object_get(item, "indicator-size-group", &group, nullptr);
    if (!group) return;
    gtk_size_group_set_mode(group, GTK_SIZE_GROUP_NONE);
    g_object_unref(group);
}

}  // namespace

BookmarkFolderMenu::BookmarkFolderMenu(AppState& appState, BookmarkFolder folder, std::vector<Bookmark> bookmarks,
                                       Callbacks callbacks)
    : appState_(appState),
      folder_(std::move(folder)),
      bookmarks_(std::move(bookmarks)),
      callbacks_(std::move(callbacks)),
      content_(Gtk::Orientation::HORIZONTAL, ChromeMetrics::px(BookmarkBarItem::contentSpacing)),
      actions_(Gio::SimpleActionGroup::create()),
      contextMenu_(*this, [this] { return contextMenuModel(); }) {
    set_name("bookmark-folder");
    set_valign(Gtk::Align::CENTER);
    set_has_frame(false);
    buildContent();
    buildActions();
    prepareToggle();
}

BookmarkFolderMenu::~BookmarkFolderMenu() { opened_.disconnect(); }

void BookmarkFolderMenu::prepareToggle() {
    // The button's own part: the pressable toggle inside the menu button.
    auto* toggle = dynamic_cast<Gtk::ToggleButton*>(get_first_child());
    if (!toggle) return;
    toggle->get_style_context()->add_provider(BookmarkBarItem::buttonStyle(), GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    // Clicked, never focused, as every button of the bar.
    toggle->set_focusable(false);
    // The pull-down is made when the button is first pressed. A menu button
    // without a menu greys its toggle out, so the toggle is kept usable by
    // hand, and its first press (after the menu button's own handler, which
    // finds nothing to show) makes the menu and opens it. The toolkit's own
    // hook for this is not used: GTK 4.8 frees its data twice when the
    // button is destroyed while it holds the keyboard focus.
    toggle->set_sensitive(true);
    opened_ = toggle->signal_toggled().connect([this, toggle] {
        if (!toggle->get_active() || get_popover()) return;
        buildPullDown();
        get_popover()->popup();
    });
}

void BookmarkFolderMenu::buildContent() {
    content_.set_valign(Gtk::Align::CENTER);
    symbol_.set_from_icon_name("folder-symbolic");
    symbol_.set_pixel_size(ChromeMetrics::px(symbolSize));
    symbol_.add_css_class(ChromeStyle::mutedText);
    symbol_.set_valign(Gtk::Align::CENTER);
    BookmarkBarItem::prepareTitle(title_, "bookmark-folder-title", folder_.name);
    content_.append(symbol_);
    content_.append(title_);
    set_child(content_);
}

void BookmarkFolderMenu::buildActions() {
    actions_->add_action("rename", [this] {
        if (callbacks_.rename) callbacks_.rename(folder_);
    });
    actions_->add_action("delete", [this] { appState_.deleteBookmarkFolder(folder_.id); });
    // The new-bookmark card lets the user pick the folder.
    actions_->add_action("add-bookmark", [this] { appState_.showNewBookmarkSheet.set(true); });
    actions_->add_action("new-folder", [this] {
        if (callbacks_.newFolder) callbacks_.newFolder();
    });
    insert_action_group("folder", actions_);
}

Glib::RefPtr<Gio::Menu> BookmarkFolderMenu::menuModel() {
    if (menuModel_) return menuModel_;
    menuModel_ = Gio::Menu::create();
    auto entries = Gio::Menu::create();
    // One action per entry: thousands of items watching one shared action
    // cost the toolkit time that grows with the square of their number.
    for (std::size_t i = 0; i < bookmarks_.size(); ++i) {
        const std::string action = "open-" + std::to_string(i);
        actions_->add_action(action, [this, url = bookmarks_[i].url] { appState_.navigateActive(url); });
        // No icon: the toolkit's menus never show one beside a label, yet
        // each would still cost a hidden image per entry.
        entries->append(BookmarkBarItem::plainMenuLabel(bookmarks_[i].title), "folder." + action);
    }
    // A line without an action: shown, never chosen.
    if (bookmarks_.empty()) entries->append("Empty folder", "");
    auto folderActions = Gio::Menu::create();
    folderActions->append("Rename Folder", "folder.rename");
    folderActions->append("Delete Folder", "folder.delete");
    folderActions->append("Add Bookmark to Folder", "folder.add-bookmark");
    folderActions->append("New Folder", "folder.new-folder");
    // Sections are drawn with a divider between them.
    menuModel_->append_section(entries);
    menuModel_->append_section(folderActions);
    return menuModel_;
}

void BookmarkFolderMenu::buildPullDown() {
    // The menu is made over the folder actions alone and its shared mark
    // width let go before the entries are put back in front, so that no
    // entry is ever measured against all the others.
    auto model = menuModel();
    auto entries = model->get_item_link(0, Gio::MenuModel::Link::SECTION);
    model->remove(0);
    auto* pullDown = Gtk::make_managed<Gtk::PopoverMenu>(model);
    releaseMarkWidths(*pullDown);
    model->prepend_section(entries);
    set_popover(*pullDown);
}

Glib::RefPtr<Gio::Menu> BookmarkFolderMenu::contextMenuModel() {
    if (contextMenuModel_) return contextMenuModel_;
    contextMenuModel_ = Gio::Menu::create();
    contextMenuModel_->append("New Folder", "folder.new-folder");
    contextMenuModel_->append("Delete Folder", "folder.delete");
    contextMenuModel_->append("Rename Folder", "folder.rename");
    contextMenuModel_->append("Add Bookmark to Folder", "folder.add-bookmark");
    return contextMenuModel_;
}

}  // namespace quorelle
