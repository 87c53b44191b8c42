#include "cards/CardText.h"

#include "window/LabelFont.h"

namespace quorelle {

namespace {

constexpr double headlineSize = 13;

}  // namespace

void CardText::setHeadline(Gtk::Label& label) { LabelFont::set(label, headlineSize, Pango::Weight::SEMIBOLD); }

void CardText::showText(Gtk::Entry& field, sigc::connection& changed, std::string_view text) {
    if (field.get_text().raw() == text) return;
    const bool wasBlocked = changed.blocked();
    changed.block();
    field.set_text(std::string(text));
    changed.block(wasBlocked);
}

}  // namespace quorelle
