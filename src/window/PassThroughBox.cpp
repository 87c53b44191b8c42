#include "window/PassThroughBox.h"

#include <gtk/gtk.h>

namespace quorelle {
namespace {

// The toolkit picks a widget itself only where it contains the point, after
// none of its children took it.
gboolean containsNoPoint(GtkWidget*, double, double) { return FALSE; }

void classInit(void* widgetClass, void*) { GTK_WIDGET_CLASS(widgetClass)->contains = containsNoPoint; }

}  // namespace

PassThroughBox::PassThroughBox(Gtk::Orientation orientation)
    : Glib::ObjectBase("QuorellePassThroughBox"), Glib::ExtraClassInit(classInit), Gtk::Box(orientation) {}

}  // namespace quorelle
