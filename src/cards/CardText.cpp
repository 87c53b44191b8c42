#include "cards/CardText.h"

#include <cmath>

namespace quorelle {

namespace {

constexpr double headlineSize = 13;

}  // namespace

void CardText::setFont(Gtk::Label& label, double points, Pango::Weight weight) {
    Pango::AttrList attributes;
    auto size = Pango::Attribute::create_attr_size_absolute(static_cast<int>(std::lround(points * PANGO_SCALE)));
    attributes.insert(size);
    auto boldness = Pango::Attribute::create_attr_weight(weight);
    attributes.insert(boldness);
    label.set_attributes(attributes);
}

void CardText::setHeadline(Gtk::Label& label) { setFont(label, headlineSize, Pango::Weight::SEMIBOLD); }

void CardText::showText(Gtk::Entry& field, sigc::connection& changed, std::string_view text) {
    if (field.get_text().raw() == text) return;
    const bool wasBlocked = changed.blocked();
    changed.block();
    field.set_text(std::string(text));
    changed.block(wasBlocked);
}

}  // namespace quorelle
