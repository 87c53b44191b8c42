#pragma once

// Presses a key shortcut a widget declares, as the toolkit would when the
// key is pressed: finds the shortcut by its trigger ("Return", "Escape")
// among the widget's shortcut controllers and runs its action.

#include <gtk/gtk.h>
#include <gtkmm/widget.h>

#include <string>

namespace quorelle::testing {

inline bool pressShortcut(Gtk::Widget& widget, const std::string& trigger) {
    GListModel* controllers = gtk_widget_observe_controllers(widget.gobj());
    bool pressed = false;
    for (guint i = 0; !pressed && i < g_list_model_get_n_items(controllers); ++i) {
        auto* controller = static_cast<GObject*>(g_list_model_get_item(controllers, i));
        if (GTK_IS_SHORTCUT_CONTROLLER(controller)) {
            auto* shortcuts = G_LIST_MODEL(controller);
            for (guint j = 0; !pressed && j < g_list_model_get_n_items(shortcuts); ++j) {
                auto* shortcut = static_cast<GtkShortcut*>(g_list_model_get_item(shortcuts, j));
                char* name = gtk_shortcut_trigger_to_string(gtk_shortcut_get_trigger(shortcut));
                if (trigger == name)
                    pressed = gtk_shortcut_action_activate(gtk_shortcut_get_action(shortcut),
                                                           GTK_SHORTCUT_ACTION_EXCLUSIVE, widget.gobj(), nullptr);
                g_free(name);
                g_object_unref(shortcut);
            }
        }
        g_object_unref(controller);
    }
    g_object_unref(controllers);
    return pressed;
}

}  // namespace quorelle::testing
