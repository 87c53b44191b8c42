#include "window/BookmarkFolderMenu.h"

#include "state/AppState.h"
#include "window/BookmarkChip.h"
#include "window/ChromeMetrics.h"
#include "window/ChromeStyle.h"
#include "window/LabelFont.h"

#include <gdk/gdk.h>
#include <giomm/menuitem.h>
#include <giomm/themedicon.h>
#include <glibmm/variant.h>
#include <gtkmm/cssprovider.h>

#include <utility>

namespace quorelle {

namespace {

// The inner button of the pull-down: no bezel, the control's own padding.
Glib::RefPtr<Gtk::CssProvider> folderButtonStyle() {
    static const auto provider = [] {
        auto sheet = Gtk::CssProvider::create();
        const auto px = [](double points) { return std::to_string(ChromeMetrics::px(points)) + "px"; };
        sheet->load_from_data("button { padding: " + px(BookmarkFolderMenu::paddingV) + " " +
                              px(BookmarkFolderMenu::paddingH) +
                              "; min-height: 0; min-width: 0; margin: 0; border: none; box-shadow: none;"
                              " background: none; }"
                              "button:hover { background-color: alpha(currentColor, 0.08); }"
                              "button:checked, button:active { background-color: alpha(currentColor, 0.16); }");
        return sheet;
    }();
    return provider;
}

}  // namespace

BookmarkFolderMenu::BookmarkFolderMenu(AppState& appState, BookmarkFolder folder, std::vector<Bookmark> bookmarks,
                                       Callbacks callbacks)
    : appState_(appState),
      folder_(std::move(folder)),
      bookmarks_(std::move(bookmarks)),
      callbacks_(std::move(callbacks)),
      content_(Gtk::Orientation::HORIZONTAL, ChromeMetrics::px(contentSpacing)),
      actions_(Gio::SimpleActionGroup::create()) {
    set_name("bookmark-folder");
    set_valign(Gtk::Align::CENTER);
    set_has_frame(false);
    set_focus_on_click(false);
    if (auto* inner = get_first_child())
        inner->get_style_context()->add_provider(folderButtonStyle(), GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    buildContent();
    buildActions();
    set_create_popup_func([this] {
        if (!get_popover()) buildPullDown();
    });

    secondaryClick_ = Gtk::GestureClick::create();
    secondaryClick_->set_button(GDK_BUTTON_SECONDARY);
    connections_.push_back(secondaryClick_->signal_pressed().connect([this](int, double x, double y) {
        const Gdk::Rectangle at(static_cast<int>(x), static_cast<int>(y), 1, 1);
        contextMenu().set_pointing_to(at);
        contextMenu().popup();
    }));
    add_controller(secondaryClick_);
}

BookmarkFolderMenu::~BookmarkFolderMenu() {
    for (auto& connection : connections_) connection.disconnect();
    if (contextMenu_) contextMenu_->unparent();
}

void BookmarkFolderMenu::buildContent() {
    content_.set_valign(Gtk::Align::CENTER);
    symbol_.set_from_icon_name("folder-symbolic");
    symbol_.set_pixel_size(ChromeMetrics::px(symbolSize));
    symbol_.add_css_class(ChromeStyle::mutedText);
    symbol_.set_valign(Gtk::Align::CENTER);
    title_.set_name("bookmark-folder-title");
    title_.set_text(folder_.name);
    title_.set_use_markup(false);
    title_.set_use_underline(false);
    title_.set_single_line_mode(true);
    title_.set_valign(Gtk::Align::CENTER);
    title_.add_css_class(ChromeStyle::primaryText);
    LabelFont::set(title_, titleFontSize);
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
        auto item = Gio::MenuItem::create(BookmarkChip::plainMenuLabel(bookmarks_[i].title), "folder." + action);
        item->set_icon(Gio::ThemedIcon::create("user-bookmarks-symbolic"));
        entries->append_item(item);
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
    set_popover(*Gtk::make_managed<Gtk::PopoverMenu>(menuModel()));
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

Gtk::PopoverMenu& BookmarkFolderMenu::contextMenu() {
    if (!contextMenu_) {
        contextMenu_ = std::make_unique<Gtk::PopoverMenu>(contextMenuModel());
        contextMenu_->set_has_arrow(false);
        contextMenu_->set_parent(*this);
    }
    return *contextMenu_;
}

}  // namespace quorelle
