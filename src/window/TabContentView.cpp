#include "window/TabContentView.h"

#include "model/BrowserTab.h"
#include "state/AppState.h"
#include "window/ChromeStyle.h"
#include "window/ViewRefresh.h"

#include <gtkmm/shortcut.h>
#include <gtkmm/shortcutaction.h>
#include <gtkmm/shortcutcontroller.h>
#include <gtkmm/shortcuttrigger.h>

#include <algorithm>
#include <utility>

namespace quorelle {
namespace {

// The engine keeps a hidden text view of its own inside each web view (it
// reads key bindings with it), which the toolkit would make a focus stop
// of its own, before the page going backwards and after it going forwards.
// So the page area decides: from outside, the focus lands on the web view;
// from the web view, it moves on. What the engine shows over a page (its
// dialogs) keeps the toolkit's order.
gboolean focusPageAsOneStop(GtkWidget* area, GtkDirectionType direction) {
    auto* self = dynamic_cast<TabContentView*>(Glib::wrap(area));
    GtkWidget* view = self ? self->webTabView().shownView() : nullptr;
    if (!view) return FALSE;
    GtkRoot* root = gtk_widget_get_root(area);
    GtkWidget* focus = root ? gtk_root_get_focus(root) : nullptr;
    if (focus == view) return FALSE;
    if (focus && gtk_widget_is_ancestor(focus, view))
        return GTK_WIDGET_CLASS(g_type_class_peek(GTK_TYPE_BOX))->focus(area, direction);
    return gtk_widget_grab_focus(view);
}

void classInit(void* widgetClass, void*) { GTK_WIDGET_CLASS(widgetClass)->focus = focusPageAsOneStop; }

}  // namespace

TabContentView::TabContentView(TabWebViewStore& webViews, CommandBus& commandBus)
    : Glib::ObjectBase("QuorelleTabContentView"),
      Glib::ExtraClassInit(classInit),
      Gtk::Box(),
      webTabView_(webViews, commandBus) {
    set_name("tab-content");
    set_hexpand(true);
    set_vexpand(true);
    append(webTabView_);

    progress_.set_name("page-load-progress");
    progress_.add_css_class(ChromeStyle::loadProgress);
    progress_.set_valign(Gtk::Align::START);
    progress_.set_halign(Gtk::Align::FILL);
    progress_.set_hexpand(true);
    progress_.set_can_target(false);
    progress_.set_visible(false);
    webTabView_.add_overlay(progress_);
    takeFocusKeys();
}

// Heard before the page: the engine would otherwise act on these keys
// itself (its text view moves the focus for them) and then hand them back
// to the window, which would move the focus a second time.
void TabContentView::takeFocusKeys() {
    auto keys = Gtk::ShortcutController::create();
    keys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    const std::pair<const char*, GtkDirectionType> moves[] = {
        {"<Control>Tab|<Control>KP_Tab", GTK_DIR_TAB_FORWARD},
        {"<Shift><Control>Tab|<Shift><Control>KP_Tab", GTK_DIR_TAB_BACKWARD}};
    for (const auto& [trigger, direction] : moves)
        keys->add_shortcut(Gtk::Shortcut::create(
            Gtk::ShortcutTrigger::parse_string(trigger),
            Gtk::CallbackAction::create([direction](Gtk::Widget& area, const Glib::VariantBase&) {
                g_signal_emit_by_name(area.gobj(), "move-focus", direction);
                return true;
            })));
    add_controller(keys);
}

TabContentView::~TabContentView() { unwatch(); }

void TabContentView::showTab(const std::shared_ptr<BrowserTab>& tab, AppState& state) {
    if (webTabView_.tab() != tab) watch(tab, state);
    webTabView_.showTab(tab, state);
    refreshProgress();
}

void TabContentView::clear() {
    unwatch();
    webTabView_.clearTab();
    refreshProgress();
}

void TabContentView::refreshProgress() {
    const auto& tab = webTabView_.tab();
    const bool loading = tab && tab->isLoading.get();
    progress_.set_visible(loading);
    if (loading) progress_.set_fraction(std::clamp(tab->loadProgress.get(), 0.0, 1.0));
}

void TabContentView::watch(const std::shared_ptr<BrowserTab>& tab, AppState& state) {
    unwatch();
    refresh_ = std::make_unique<ViewRefresh>(state.mainQueue(), [this] { refreshProgress(); });
    auto schedule = [this] { refresh_->schedule(); };
    tabConnections_.push_back(tab->isLoading.signalWillChange().connect(schedule));
    tabConnections_.push_back(tab->loadProgress.signalWillChange().connect(schedule));
}

void TabContentView::unwatch() {
    for (auto& connection : tabConnections_) connection.disconnect();
    tabConnections_.clear();
    refresh_.reset();
}

}  // namespace quorelle
