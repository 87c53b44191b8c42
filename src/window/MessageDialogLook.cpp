#include "window/MessageDialogLook.h"

#include <gtkmm/box.h>
#include <gtkmm/label.h>

namespace quorelle {

void MessageDialogLook::apply(Gtk::MessageDialog& dialog) {
    auto* area = dialog.get_message_area();
    if (!area) return;
    // The toolkit wraps message text at its labels' longest line; a label
    // asking for that line as its least width makes the dialog a line wide.
    for (auto* child = area->get_first_child(); child; child = child->get_next_sibling())
        if (auto* label = dynamic_cast<Gtk::Label*>(child)) label->set_width_chars(label->get_max_width_chars());
}

}  // namespace quorelle
