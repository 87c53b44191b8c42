#pragma once

#include "cards/ThemedSurface.h"
#include "cards/TwoWayBinding.h"

#include <gtkmm/box.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/gestureclick.h>
#include <gtkmm/overlay.h>

#include <memory>

namespace quorelle {

class AppState;

// The frame of a modal card over the whole window: a black dim layer that
// covers everything beneath and closes the card on a single tap, and the
// card itself centred over it, a column of fixed width on a surface painted
// from the theme. A tap on the card does not reach the dim layer.
//
// Subclasses fill content() and close the card with dismiss(), which writes
// false to `isPresented`.
class DimmedCard : public Gtk::Overlay {
public:
    struct Shape {
        double dimOpacity;
        double width;    // of the card, padding included
        double padding;  // around the content, inside the surface
        double spacing;  // between the content's rows
        double margin;   // around the card, outside the surface
        ThemedSurface::Declarations surface;
    };

    DimmedCard(AppState& appState, TwoWayBinding<bool> isPresented, Shape shape);
    ~DimmedCard() override;

    Gtk::Box& dimLayer() { return dim_; }
    Gtk::Box& card() { return card_; }
    Gtk::Box& content() { return content_; }
    const Glib::RefPtr<Gtk::GestureClick>& dimGesture() const { return dimTap_; }
    const ThemedSurface& surface() const { return *surface_; }
    double dimOpacity() const { return shape_.dimOpacity; }

protected:
    void dismiss();

    AppState& appState_;
    TwoWayBinding<bool> isPresented_;

private:
    Shape shape_;
    Gtk::Box dim_;
    Gtk::Box card_;
    Gtk::Box content_;
    Glib::RefPtr<Gtk::CssProvider> dimStyle_;
    Glib::RefPtr<Gtk::GestureClick> dimTap_;
    std::unique_ptr<ThemedSurface> surface_;
};

}  // namespace quorelle
