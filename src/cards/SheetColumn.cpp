#include "cards/SheetColumn.h"

#include "cards/CardText.h"
#include "window/ChromeMetrics.h"

namespace quorelle {

void SheetColumn::prepare(Gtk::ScrolledWindow& sheet, Gtk::Box& column, double width, double padding,
                          Gtk::Label& heading, std::string_view title) {
    sheet.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    sheet.set_size_request(ChromeMetrics::px(width), -1);
    sheet.set_hexpand(true);
    sheet.set_vexpand(true);
    sheet.set_halign(Gtk::Align::CENTER);
    sheet.set_valign(Gtk::Align::FILL);
    // Asked for its natural height, the card answers with the whole column's:
    // a window made for it opens with every row showing and nothing to
    // scroll. Over the browser's content it takes the height it is given.
    sheet.set_propagate_natural_height(true);

    column.set_margin(padding);
    column.set_halign(Gtk::Align::FILL);
    column.set_valign(Gtk::Align::START);

    heading.set_text(Glib::ustring(title.data(), title.size()));
    heading.set_halign(Gtk::Align::START);
    CardText::setHeadline(heading);
    column.append(heading);
}

}  // namespace quorelle
