#pragma once

#include "model/Uuid.h"

#include <giomm/listmodel.h>
#include <glibmm/object.h>

#include <string>
#include <vector>

namespace Gtk {
class Label;
}  // namespace Gtk

namespace quorelle {

// What one sidebar row shows and loads.
struct SidebarRow {
    Uuid id;
    std::string title;
    std::string url;
    friend bool operator==(const SidebarRow&, const SidebarRow&) = default;
};

// The sidebar's rows as the list model its lazy list draws. An item stands
// for a place in the list, not for a record: when the search changes the
// rows, the places that stay keep their items (and the list its row
// widgets) and only their titles change, drawn straight into the label that
// shows them; only places added or dropped at the end are announced. Items
// are made only for the places the list asks for, so a list of thousands
// costs no more than the rows on screen. Main thread only.
//
// (The interface comes first among the bases: it must be added before the
// type is made.)
class SidebarRowModel : public Gio::ListModel, public Glib::Object {
public:
    // One place in the list.
    class Item : public Glib::Object {
    public:
        static Glib::RefPtr<Item> create(guint position, std::string title);
        guint position() const { return position_; }
        const std::string& title() const { return title_; }
        // The label drawing this place, while the list has one bound to it.
        void showIn(Gtk::Label* label);
        void setTitle(std::string title);

    protected:
        Item(guint position, std::string title);

    private:
        guint position_;
        std::string title_;
        Gtk::Label* label_ = nullptr;
    };

    static Glib::RefPtr<SidebarRowModel> create();

    const std::vector<SidebarRow>& rows() const { return rows_; }
    void assign(std::vector<SidebarRow> rows);

protected:
    SidebarRowModel();

    GType get_item_type_vfunc() override;
    guint get_n_items_vfunc() override;
    gpointer get_item_vfunc(guint position) override;

private:
    std::vector<SidebarRow> rows_;
    std::vector<Glib::RefPtr<Item>> items_;  // by place; empty until asked for
};

}  // namespace quorelle
