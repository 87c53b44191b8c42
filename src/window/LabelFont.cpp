#include "window/LabelFont.h"

#include <pangomm/attrlist.h>

#include <cmath>

namespace quorelle {

void LabelFont::set(Gtk::Label& label, double points, std::optional<Pango::Weight> weight) {
    Pango::AttrList attributes;
    auto size = Pango::Attribute::create_attr_size_absolute(static_cast<int>(std::lround(points * PANGO_SCALE)));
    attributes.insert(size);
    if (weight) {
        auto boldness = Pango::Attribute::create_attr_weight(*weight);
        attributes.insert(boldness);
    }
    label.set_attributes(attributes);
}

}  // namespace quorelle
