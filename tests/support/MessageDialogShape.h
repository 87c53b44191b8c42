#pragma once

// Where a message dialog's parts lie, measured on screen, and the dialog
// the browser shows when another Quorelle already uses the data folder,
// made as that one makes it (a plain message dialog with a primary and a
// secondary text), for the browser's other dialogs to be measured against.

#include "support/MainLoopWait.h"
#include "window/MessageDialogLook.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/messagedialog.h>

#include <memory>

namespace quorelle::testing {

struct MessageDialogShape {
    int width = 0;
    int height = 0;
    // The width of an average character of the dialog's text.
    double characterWidth = 0;
    // The message area's distance from the dialog's edges, and the room
    // between it and the row of buttons.
    double left = 0, right = 0, top = 0, aboveButtons = 0;
    // The row of buttons' distance from the dialog's edges.
    double buttonsLeft = 0, buttonsRight = 0, buttonsBottom = 0;

    // Waits until `dialog` is on screen, then measures it; `button` is one
    // of its buttons.
    static MessageDialogShape of(Gtk::MessageDialog& dialog, Gtk::Widget& button) {
        runUntil([&] { return dialog.get_mapped() && button.get_height() > 0; });
        MessageDialogShape shape;
        shape.width = dialog.get_width();
        shape.height = dialog.get_height();
        auto context = dialog.get_pango_context();
        shape.characterWidth =
            double(context->get_metrics(context->get_font_description()).get_approximate_char_width()) / PANGO_SCALE;
        graphene_rect_t area, buttons, row;
        const bool placed =
            gtk_widget_compute_bounds(GTK_WIDGET(dialog.get_message_area()->gobj()), GTK_WIDGET(dialog.gobj()),
                                      &area) &&
            gtk_widget_compute_bounds(button.gobj(), GTK_WIDGET(dialog.gobj()), &buttons) &&
            gtk_widget_compute_bounds(button.get_parent()->gobj(), GTK_WIDGET(dialog.gobj()), &row);
        if (!placed) return shape;
        shape.left = area.origin.x;
        shape.right = shape.width - (area.origin.x + area.size.width);
        shape.top = area.origin.y;
        shape.aboveButtons = buttons.origin.y - (area.origin.y + area.size.height);
        shape.buttonsLeft = row.origin.x;
        shape.buttonsRight = shape.width - (row.origin.x + row.size.width);
        shape.buttonsBottom = shape.height - (row.origin.y + row.size.height);
        return shape;
    }

    // Whether this dialog is as wide as `reference`, whose text wraps at a
    // full line: its lines end where its words do, a little short of that.
    bool asWideAs(const MessageDialogShape& reference) const {
        return width >= reference.width && width <= reference.width + 2 * reference.characterWidth;
    }

    // The "already running" dialog, shown; over `parent` when a case has a
    // window of its own open (the browser shows its dialog before it opens
    // any), which a dialog asks for.
    static std::unique_ptr<Gtk::MessageDialog> alreadyRunningDialog(Gtk::Window* parent = nullptr) {
        auto dialog = std::make_unique<Gtk::MessageDialog>("Quorelle is already running", false,
                                                           Gtk::MessageType::ERROR, Gtk::ButtonsType::CLOSE, true);
        if (parent) dialog->set_transient_for(*parent);
        dialog->set_secondary_text("Another Quorelle process is using the data folder "
                                   "/home/someone/.local/share/QuorelleData. Close it before starting Quorelle again.");
        dialog->set_title("Quorelle");
        MessageDialogLook::giveRoom(*dialog);
        dialog->present();
        return dialog;
    }
    static MessageDialogShape alreadyRunning(Gtk::Window* parent = nullptr) {
        auto dialog = alreadyRunningDialog(parent);
        auto* close = dialog->get_widget_for_response(Gtk::ResponseType::CLOSE);
        return of(*dialog, *close);
    }

    // Expects `dialog`, with `button` one of its buttons, to have the width,
    // the margins and the spacing of `reference`, room for its title, and,
    // under the title bar the window manager draws (as in these tests), room
    // between that title bar and its text and between its buttons and its
    // edges.
    static void expectTheLookOf(const MessageDialogShape& reference, Gtk::MessageDialog& dialog,
                                Gtk::Widget& button) {
        const auto shape = of(dialog, button);
        EXPECT_TRUE(shape.asWideAs(reference)) << shape.width << " for " << reference.width;
        EXPECT_EQ(shape.left, reference.left);
        EXPECT_EQ(shape.right, reference.right);
        EXPECT_EQ(shape.top, reference.top);
        EXPECT_EQ(shape.aboveButtons, reference.aboveButtons);
        EXPECT_EQ(shape.buttonsLeft, reference.buttonsLeft);
        EXPECT_EQ(shape.buttonsRight, reference.buttonsRight);
        EXPECT_EQ(shape.buttonsBottom, reference.buttonsBottom);
        EXPECT_GE(shape.top, 20);
        for (double inset : {shape.buttonsLeft, shape.buttonsRight, shape.buttonsBottom}) EXPECT_GE(inset, 12);
        EXPECT_TRUE(titleFits(dialog, button, dialog.get_title())) << shape.width;
    }

    // Whether `title` has room between three title-bar buttons on each side,
    // each as tall as the dialog's own buttons, when drawn in the dialog's
    // bold heading font.
    static bool titleFits(Gtk::MessageDialog& dialog, Gtk::Widget& button, const Glib::ustring& title) {
        auto layout = dialog.create_pango_layout(title);
        auto font = dialog.get_pango_context()->get_font_description();
        font.set_weight(Pango::Weight::BOLD);
        layout->set_font_description(font);
        int textWidth = 0, textHeight = 0;
        layout->get_pixel_size(textWidth, textHeight);
        return textWidth + 2 * 3 * button.get_height() <= dialog.get_width();
    }
};

}  // namespace quorelle::testing
