#pragma once

#include <gtkmm/label.h>

#include <optional>

namespace quorelle {

// The type of a control's label in the system font: its size in points (one
// point is one logical pixel) and, when given, its weight. Without a weight
// the label keeps the weight its style gives it.
struct LabelFont {
    LabelFont() = delete;

    static void set(Gtk::Label& label, double points, std::optional<Pango::Weight> weight = std::nullopt);
};

}  // namespace quorelle
