#include "window/SidebarRowModel.h"

#include <gtkmm/label.h>

#include <algorithm>

namespace quorelle {

SidebarRowModel::Item::Item(guint position, std::string title)
    : Glib::ObjectBase(typeid(Item)), position_(position), title_(std::move(title)) {}

Glib::RefPtr<SidebarRowModel::Item> SidebarRowModel::Item::create(guint position, std::string title) {
    return Glib::make_refptr_for_instance<Item>(new Item(position, std::move(title)));
}

void SidebarRowModel::Item::showIn(Gtk::Label* label) {
    label_ = label;
    if (label_) label_->set_text(title_);
}

void SidebarRowModel::Item::setTitle(std::string title) {
    if (title == title_) return;
    title_ = std::move(title);
    if (label_) label_->set_text(title_);
}

SidebarRowModel::SidebarRowModel() : Glib::ObjectBase(typeid(SidebarRowModel)), Gio::ListModel(), Glib::Object() {}

Glib::RefPtr<SidebarRowModel> SidebarRowModel::create() {
    return Glib::make_refptr_for_instance<SidebarRowModel>(new SidebarRowModel());
}

void SidebarRowModel::assign(std::vector<SidebarRow> rows) {
    const auto before = static_cast<guint>(rows_.size());
    const auto after = static_cast<guint>(rows.size());
    rows_ = std::move(rows);
    if (items_.size() > rows_.size()) items_.resize(rows_.size());
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i]) items_[i]->setTitle(rows_[i].title);
    if (after > before) items_changed(before, 0, after - before);
    if (after < before) items_changed(after, before - after, 0);
}

GType SidebarRowModel::get_item_type_vfunc() { return G_TYPE_OBJECT; }

guint SidebarRowModel::get_n_items_vfunc() { return static_cast<guint>(rows_.size()); }

gpointer SidebarRowModel::get_item_vfunc(guint position) {
    if (position >= rows_.size()) return nullptr;
    if (items_.size() <= position) items_.resize(position + 1);
    if (!items_[position]) items_[position] = Item::create(position, rows_[position].title);
    return g_object_ref(items_[position]->gobj());
}

}  // namespace quorelle
