#include "window/MessageDialogLook.h"

#include <gtkmm/box.h>
#include <gtkmm/label.h>

namespace quorelle {

namespace {

// The box around the row of the dialog's buttons.
Gtk::Widget* buttonRow(Gtk::Widget& widget) {
    if (widget.has_css_class("dialog-action-box")) return &widget;
    for (auto* child = widget.get_first_child(); child; child = child->get_next_sibling())
        if (auto* found = buttonRow(*child)) return found;
    return nullptr;
}

// Gives the text and the buttons their room, unless the toolkit draws the
// dialog's title bar, and with it that room, itself.
void makeRoom(Gtk::MessageDialog& dialog, Gtk::Widget& messageArea) {
    if (dialog.has_css_class("csd") || dialog.has_css_class("solid-csd")) return;
    messageArea.set_margin_top(MessageDialogLook::roomAboveText);
    auto* row = buttonRow(dialog);
    if (!row) return;
    row->set_margin_start(MessageDialogLook::buttonInset);
    row->set_margin_end(MessageDialogLook::buttonInset);
    row->set_margin_bottom(MessageDialogLook::buttonInset);
    if (auto* buttons = dynamic_cast<Gtk::Box*>(row->get_first_child()))
        buttons->set_spacing(MessageDialogLook::buttonSpacing);
}

}  // namespace

void MessageDialogLook::apply(Gtk::MessageDialog& dialog) {
    auto* area = dialog.get_message_area();
    if (!area) return;
    // The toolkit wraps message text at its labels' longest line; a label
    // asking for that line as its least width makes the dialog a line wide.
    for (auto* child = area->get_first_child(); child; child = child->get_next_sibling())
        if (auto* label = dynamic_cast<Gtk::Label*>(child)) label->set_width_chars(label->get_max_width_chars());
    giveRoom(dialog);
}

void MessageDialogLook::giveRoom(Gtk::MessageDialog& dialog) {
    auto* area = dialog.get_message_area();
    if (!area) return;
    // Whether the toolkit draws the title bar is settled as the window is
    // realized.
    dialog.signal_realize().connect([&dialog, area] { makeRoom(dialog, *area); });
}

}  // namespace quorelle
