#include "cards/IdentityRow.h"

namespace quorelle {

void IdentityRow::prepare(Gtk::Box& row, Gtk::Widget& preview, Gtk::Box& fields, Gtk::Entry& title,
                          Gtk::Entry& url) {
    preview.set_valign(Gtk::Align::START);
    row.append(preview);
    title.set_placeholder_text("Title");
    url.set_placeholder_text("URL");
    for (auto* field : {&title, &url}) {
        field->set_hexpand(true);
        fields.append(*field);
    }
    fields.set_hexpand(true);
    row.append(fields);
}

}  // namespace quorelle
