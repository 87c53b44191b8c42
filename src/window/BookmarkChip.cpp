#include "window/BookmarkChip.h"

#include "model/QuorelleAssets.h"
#include "model/Text.h"
#include "state/AppState.h"
#include "window/ChromeMetrics.h"
#include "window/ChromeStyle.h"
#include "window/LabelFont.h"

#include <gdk/gdk.h>
#include <giomm/menuitem.h>
#include <glibmm/variant.h>
#include <gtkmm/cssprovider.h>

#include <utility>

namespace quorelle {

namespace {

// A plain button: no bezel, and exactly the chip's own padding.
Glib::RefPtr<Gtk::CssProvider> chipStyle() {
    static const auto provider = [] {
        auto sheet = Gtk::CssProvider::create();
        const auto px = [](double points) { return std::to_string(ChromeMetrics::px(points)) + "px"; };
        sheet->load_from_data("button { padding: " + px(BookmarkChip::paddingV) + " " + px(BookmarkChip::paddingH) +
                              "; min-height: 0; min-width: 0; margin: 0; border: none; box-shadow: none;"
                              " background: none; }"
                              "button:hover { background-color: alpha(currentColor, 0.08); }"
                              "button:active { background-color: alpha(currentColor, 0.16); }");
        return sheet;
    }();
    return provider;
}

}  // namespace

BookmarkChip::BookmarkChip(AppState& appState, Bookmark bookmark, const std::vector<BookmarkFolder>& folders,
                           FaviconImageCache& images, std::function<void(const Bookmark&)> onEdit)
    : appState_(appState),
      bookmark_(std::move(bookmark)),
      folders_(folders),
      onEdit_(std::move(onEdit)),
      content_(Gtk::Orientation::HORIZONTAL, ChromeMetrics::px(contentSpacing)),
      favicon_(images, bookmark_.effectiveIconURL(), bookmark_.displayLetter(), iconSize,
               QuorelleAssets::isInternalURL(bookmark_.url)),
      actions_(Gio::SimpleActionGroup::create()) {
    set_name("bookmark-chip");
    add_css_class("flat");
    set_valign(Gtk::Align::CENTER);
    set_focus_on_click(false);
    get_style_context()->add_provider(chipStyle(), GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    buildContent();
    buildActions();

    connections_.push_back(signal_clicked().connect([this] {
        const std::string url = bookmark_.url;  // the chip may be rebuilt by the navigation
        appState_.navigateActive(url);
    }));
    secondaryClick_ = Gtk::GestureClick::create();
    secondaryClick_->set_button(GDK_BUTTON_SECONDARY);
    connections_.push_back(secondaryClick_->signal_pressed().connect([this](int, double x, double y) {
        const Gdk::Rectangle at(static_cast<int>(x), static_cast<int>(y), 1, 1);
        contextMenu().set_pointing_to(at);
        contextMenu().popup();
    }));
    add_controller(secondaryClick_);
}

BookmarkChip::~BookmarkChip() {
    for (auto& connection : connections_) connection.disconnect();
    if (menu_) menu_->unparent();
}

void BookmarkChip::buildContent() {
    content_.set_valign(Gtk::Align::CENTER);
    favicon_.set_valign(Gtk::Align::CENTER);
    title_.set_name("bookmark-chip-title");
    title_.set_text(bookmark_.title);
    title_.set_use_markup(false);
    title_.set_use_underline(false);
    title_.set_single_line_mode(true);
    title_.set_valign(Gtk::Align::CENTER);
    title_.add_css_class(ChromeStyle::primaryText);
    LabelFont::set(title_, titleFontSize);
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
        auto item = Gio::MenuItem::create(plainMenuLabel(folder.name), "");
        item->set_action_and_target("bookmark.move-to-folder",
                                    Glib::Variant<Glib::ustring>::create(folder.id.toString()));
        move->append_item(item);
    }
    menuModel_->append_submenu("Move to Folder", move);
    return menuModel_;
}

Gtk::PopoverMenu& BookmarkChip::contextMenu() {
    if (!menu_) {
        menu_ = std::make_unique<Gtk::PopoverMenu>(contextMenuModel());
        menu_->set_has_arrow(false);
        menu_->set_parent(*this);
    }
    return *menu_;
}

Glib::ustring BookmarkChip::plainMenuLabel(std::string_view text) {
    // Menu labels read "_" as a mnemonic mark; a doubled one is a literal.
    return text::replaceAll(text, "_", "__");
}

void BookmarkChip::popupMenu() { contextMenu().popup(); }

}  // namespace quorelle
