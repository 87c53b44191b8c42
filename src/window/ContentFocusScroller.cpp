#include "window/ContentFocusScroller.h"

namespace quorelle {

namespace {

gboolean focusContentOnly(GtkWidget* scroller, GtkDirectionType direction) {
    GtkWidget* content = gtk_scrolled_window_get_child(GTK_SCROLLED_WINDOW(scroller));
    return content && gtk_widget_child_focus(content, direction);
}

void classInit(void* widgetClass, void*) { GTK_WIDGET_CLASS(widgetClass)->focus = focusContentOnly; }

}  // namespace

ContentFocusScroller::ContentFocusScroller()
    : Glib::ObjectBase("QuorelleContentFocusScroller"), Glib::ExtraClassInit(classInit), Gtk::ScrolledWindow() {}

}  // namespace quorelle
