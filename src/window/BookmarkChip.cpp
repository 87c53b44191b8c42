#include "window/BookmarkChip.h"

#include "model/QuorelleAssets.h"
#include "state/AppState.h"
#include "window/BookmarkBarItem.h"
#include "window/ChromeMetrics.h"

#include <giomm/menuitem.h>
#include <glibmm/variant.h>

#include <utility>

namespace quorelle {

BookmarkChip::BookmarkChip(AppState& appState, Bookmark bookmark, const std::vector<BookmarkFolder>& folders,
                           FaviconImageCache& images, std::function<void(const Bookmark&)> onEdit)
    : appState_(appState),
      bookmark_(std::move(bookmark)),
      folders_(folders),
      onEdit_(std::move(onEdit)),
      content_(Gtk::Orientation::HORIZONTAL, ChromeMetrics::px(BookmarkBarItem::contentSpacing)),
      favicon_(images, bookmark_.effectiveIconURL(), bookmark_.displayLetter(), iconSize,
               QuorelleAssets::isInternalURL(bookmark_.url)),
      actions_(Gio::SimpleActionGroup::create()),
      contextMenu_(*this, [this] { return contextMenuModel(); }) {
    set_name("bookmark-chip");
    add_css_class("flat");
    set_valign(Gtk::Align::CENTER);
    // Like every button of the bar, it is clicked, never focused: neither
    // Tab nor a closing menu leaves the keyboard on it.
    set_focusable(false);
    get_style_context()->add_provider(BookmarkBarItem::buttonStyle(), GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    buildContent();
    buildActions();

    connections_.push_back(signal_clicked().connect([this] {
        const std::string url = bookmark_.url;  // the chip may be rebuilt by the navigation
        appState_.navigateActive(url);
    }));
}

BookmarkChip::~BookmarkChip() {
    for (auto& connection : connections_) connection.disconnect();
}

void BookmarkChip::buildContent() {
    content_.set_valign(Gtk::Align::CENTER);
    favicon_.set_valign(Gtk::Align::CENTER);
    BookmarkBarItem::prepareTitle(title_, "bookmark-chip-title", bookmark_.title);
    content_.append(favicon_);
    content_.append(title_);
    set_child(content_);
}

void BookmarkChip::buildActions() {
    actions_->add_action("edit", [this] {
        if (onEdit_) onEdit_(bookmark_);
    });
    actions_->add_action("delete", [this] { appState_.deleteBookmark(bookmark_); });
    // The edit sheet holds the custom icon field.
    actions_->add_action("add-custom-icon", [this] {
        if (onEdit_) onEdit_(bookmark_);
    });
    actions_->add_action_with_parameter("move-to-folder", Glib::VARIANT_TYPE_STRING,
                                        sigc::mem_fun(*this, &BookmarkChip::moveToFolder));
    insert_action_group("bookmark", actions_);
}

void BookmarkChip::moveToFolder(const Glib::VariantBase& parameter) {
    const auto raw = Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(parameter).get();
    // An empty folder id stands for the top level.
    std::optional<Uuid> folder;
    if (!raw.empty()) {
        folder = Uuid::parse(raw.raw());
        if (!folder) return;
    }
    appState_.moveBookmark(bookmark_.id, folder);
}

Glib::RefPtr<Gio::Menu> BookmarkChip::contextMenuModel() {
    if (menuModel_) return menuModel_;
    menuModel_ = Gio::Menu::create();
    menuModel_->append("Edit", "bookmark.edit");
    menuModel_->append("Delete", "bookmark.delete");
    menuModel_->append("Add Custom Icon", "bookmark.add-custom-icon");
    auto move = Gio::Menu::create();
    auto none = Gio::MenuItem::create("None", "");
    none->set_action_and_target("bookmark.move-to-folder", Glib::Variant<Glib::ustring>::create(""));
    move->append_item(none);
    for (const auto& folder : folders_) {
        auto item = Gio::MenuItem::create(BookmarkBarItem::plainMenuLabel(folder.name), "");
        item->set_action_and_target("bookmark.move-to-folder",
                                    Glib::Variant<Glib::ustring>::create(folder.id.toString()));
        move->append_item(item);
    }
    menuModel_->append_submenu("Move to Folder", move);
    return menuModel_;
}

}  // namespace quorelle
